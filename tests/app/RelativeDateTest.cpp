#include "app/library/RelativeDate.h"

#include <QLocale>

#include <gtest/gtest.h>

using namespace zova;

namespace {

// The dates the library shows beside each guide, against a fixed now.
class RelativeDateTest : public ::testing::Test {
protected:
    void SetUp() override { QLocale::setDefault(QLocale(QStringLiteral("en_US"))); }
    void TearDown() override { QLocale::setDefault(QLocale::c()); }
    const QDateTime now = QDateTime(QDate(2026, 6, 15), QTime(12, 0), Qt::UTC);
};

TEST_F(RelativeDateTest, LargestWholeUnitInBothStyles)
{
    const struct {
        const char* name;
        qint64 secondsAgo;
        const char* named; // list row: named presentation, wide units
        const char* numericShort; // card: numeric presentation, short units
    } rows[] = {
        { "now", 0, "now", "in 0 sec." },
        { "seconds", 45, "45 seconds ago", "45 sec. ago" },
        { "one minute", 60, "1 minute ago", "1 min. ago" },
        { "minutes, rounded down", 59 * 60 + 59, "59 minutes ago", "59 min. ago" },
        { "hours", 5 * 3600, "5 hours ago", "5 hr. ago" },
        { "one day", 86400, "yesterday", "1 day ago" },
        { "days", 3 * 86400, "3 days ago", "3 days ago" },
        { "weeks", 15 * 86400, "2 weeks ago", "2 wk. ago" },
        { "months", 95 * 86400, "3 months ago", "3 mo. ago" },
        { "years", 2 * 365 * 86400 + 10, "2 years ago", "2 yr. ago" },
        { "the future", -2 * 3600, "in 2 hours", "in 2 hr." },
    };
    for (const auto& row : rows) {
        const QDateTime date = now.addSecs(-row.secondsAgo);
        EXPECT_EQ(RelativeDate::named(date, now).toStdString(), row.named) << row.name;
        EXPECT_EQ(RelativeDate::numericShort(date, now).toStdString(), row.numericShort) << row.name;
    }
}

TEST_F(RelativeDateTest, FollowsTheLocale)
{
    QLocale::setDefault(QLocale(QStringLiteral("de_DE")));
    EXPECT_EQ(RelativeDate::named(now.addDays(-1), now), QStringLiteral("gestern"));
    EXPECT_EQ(RelativeDate::numericShort(now.addSecs(-3 * 3600), now), QStringLiteral("vor 3 Std."));
}

} // namespace
