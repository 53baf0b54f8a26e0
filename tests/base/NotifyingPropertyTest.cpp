#include "base/NotifyingProperty.h"

#include <QObject>
#include <QSignalSpy>
#include <QString>

#include <gtest/gtest.h>

#include <optional>

namespace {

class Observed : public QObject {
    Q_OBJECT
public:
    void setName(const QString& v) { zova::setNotifying(this, m_name, v, &Observed::nameChanged); }
    void setCount(int v) { zova::setNotifying(this, m_count, v, &Observed::countChanged); }
    void setLabel(std::optional<QString> v)
    {
        changedLabel = zova::setNotifying(this, m_label, std::move(v), &Observed::labelChanged);
    }

    QString m_name;
    int m_count = 0;
    std::optional<QString> m_label;
    bool changedLabel = false;

signals:
    void nameChanged();
    void countChanged(int count);
    void labelChanged();
};

TEST(NotifyingProperty, EmitsOnlyOnARealChangeAndAfterTheFieldHoldsIt)
{
    Observed o;
    QSignalSpy names(&o, &Observed::nameChanged);
    QSignalSpy counts(&o, &Observed::countChanged);
    QSignalSpy labels(&o, &Observed::labelChanged);
    QString seen;
    QObject::connect(&o, &Observed::nameChanged, [&] { seen = o.m_name; });

    o.setName(QStringLiteral("a"));
    o.setName(QStringLiteral("a"));
    o.setName(QStringLiteral("b"));
    EXPECT_EQ(names.count(), 2);
    EXPECT_EQ(seen, "b") << "the signal comes after the assignment";

    o.setCount(0);
    EXPECT_EQ(counts.count(), 0) << "the initial value is no change";
    o.setCount(7);
    o.setCount(7);
    ASSERT_EQ(counts.count(), 1);
    EXPECT_EQ(counts.at(0).at(0).toInt(), 7) << "a signal with an argument gets the new value";

    const struct {
        std::optional<QString> value;
        bool changes;
    } rows[] = { { std::nullopt, false }, { QString(), true }, { QString(), false }, { QStringLiteral("x"), true },
        { std::nullopt, true } };
    for (const auto& row : rows) {
        o.setLabel(row.value);
        EXPECT_EQ(o.changedLabel, row.changes) << row.value.value_or(QStringLiteral("<none>")).toStdString();
        EXPECT_EQ(o.m_label, row.value);
    }
    EXPECT_EQ(labels.count(), 3);
}

TEST(NotifyingProperty, AssignIfChangedReportsTheChange)
{
    double field = 0.5;
    EXPECT_FALSE(zova::assignIfChanged(field, 0.5));
    EXPECT_TRUE(zova::assignIfChanged(field, 0.25));
    EXPECT_EQ(field, 0.25);
}

} // namespace

#include "NotifyingPropertyTest.moc"
