#include "model/Settings.h"
#include "model/SettingsStore.h"
#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSet>
#include <QSignalSpy>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <tuple>

using namespace zova;

namespace {

// One row per stored preference: a value other than the fallback as the settings
// file gives it back, that value's line in the file, and texts that must read as
// the fallback.
struct Row {
    const char* key;
    QVariant sample;
    const char* fileLine; // the whole line, or its start when `linePrefix`
    bool linePrefix;
    QStringList junk;
};

const QList<Row>& rows()
{
    static const QList<Row> table = {
        { "vorne.theme.mode", QStringLiteral("dark"), "vorne.theme.mode=dark", false,
            { "Dark", "DARK", "", "sepia", "system2" } },
        { "vorne.onboarding.completed", QStringLiteral("true"), "vorne.onboarding.completed=true", false,
            { "yes", "", "1", "True", "maybe" } },
        { "vorne.coachmarks.seenAllAt", QDateTime(QDate(2026, 3, 4), QTime(5, 6, 7)),
            "vorne.coachmarks.seenAllAt=@DateTime(", true, { "yesterday", "", "2026-03-04" } },
        { "zova.library.sortOrder", QStringLiteral("nameZA"), "zova.library.sortOrder=nameZA", false,
            { "nameaz", "NameZA", "", "newest" } },
        { "zova.library.viewMode", QStringLiteral("list"), "zova.library.viewMode=list", false,
            { "LIST", "", "table", "List" } },
        { "zovaNarratorVoiceID", QStringLiteral("gmw/en-GB-x-rp"), "zovaNarratorVoiceID=gmw/en-GB-x-rp", false, {} },
        { "zova.ai.endpoint", QStringLiteral("http://127.0.0.1:8080"), "zova.ai.endpoint=http://127.0.0.1:8080", false,
            {} },
        { "zova.ai.model", QStringLiteral("llama3"), "zova.ai.model=llama3", false, {} },
    };
    return table;
}

const Row* rowFor(QLatin1StringView key)
{
    for (const Row& row : rows())
        if (key == QLatin1StringView(row.key))
            return &row;
    return nullptr;
}

// Calls f(setting, row) for every descriptor of the table.
template <typename F> void forEachSetting(F&& f)
{
    std::apply(
        [&](const auto&... setting) {
            (
                [&] {
                    const Row* row = rowFor(setting.key);
                    if (!row) {
                        ADD_FAILURE() << "no test row for " << setting.key.data();
                        return;
                    }
                    f(setting, *row);
                }(),
                ...);
        },
        settings::all);
}

QString fileText(const QString& path) { return QString::fromUtf8(test::readFile(path)); }

TEST(SettingsTable, EveryKeyIsDeclaredOnceAndEveryRowHasADescriptor)
{
    QSet<QString> keys;
    forEachSetting([&](const auto& setting, const Row&) {
        EXPECT_FALSE(keys.contains(QString(setting.key))) << setting.key.data();
        keys.insert(QString(setting.key));
    });
    EXPECT_EQ(keys.size(), rows().size());
}

TEST(SettingsTable, MissingAndIllFormedValuesReadAsTheFallbackWithoutBeingRewritten)
{
    // Values no setting accepts, whatever its type.
    const QList<QVariant> foreign = { QVariant(42), QVariant(QStringList { "a", "b" }), QVariant(QByteArray()) };
    forEachSetting([&](const auto& setting, const Row& row) {
        auto* store = new MemorySettingsStore;
        Settings settings { std::unique_ptr<SettingsStore>(store) };
        EXPECT_EQ(settings.value(setting), setting.fallback) << row.key << ": nothing stored";
        EXPECT_FALSE(settings.isStored(setting));
        QList<QVariant> junk = foreign;
        for (const QString& text : row.junk)
            junk << QVariant(text);
        for (const QVariant& value : junk) {
            store->setValue(setting.key, value);
            EXPECT_EQ(settings.value(setting), setting.fallback) << row.key << ": " << value.toString().toStdString();
            EXPECT_EQ(store->value(setting.key), value) << row.key << ": reading writes nothing";
            EXPECT_TRUE(settings.isStored(setting)) << row.key;
        }
    });
}

TEST(SettingsTable, IllFormedLinesInTheSettingsFileReadAsTheFallback)
{
    QTemporaryDir dir;
    forEachSetting([&](const auto& setting, const Row& row) {
        for (const QString& text : row.junk) {
            const QString path = dir.filePath(QStringLiteral("junk.conf"));
            ASSERT_TRUE(test::writeFile(path, "[General]\n" + QByteArray(row.key) + "=" + text.toUtf8() + "\n"));
            Settings settings { std::make_unique<SettingsFileStore>(path) };
            EXPECT_EQ(settings.value(setting), setting.fallback) << row.key << "=" << text.toStdString();
            QFile::remove(path);
        }
    });
}

TEST(SettingsTable, ValuesRoundTripThroughTheFileWithTheirExactStoredText)
{
    QTemporaryDir dir;
    forEachSetting([&](const auto& setting, const Row& row) {
        const QString path = dir.filePath(QString::fromLatin1(row.key) + QStringLiteral(".conf"));
        const auto sample = setting.parse(row.sample);
        ASSERT_TRUE(sample.has_value()) << row.key;
        ASSERT_FALSE(*sample == setting.fallback) << row.key << ": the sample must differ from the fallback";
        {
            auto* store = new SettingsFileStore(path);
            Settings settings { std::unique_ptr<SettingsStore>(store) };
            QSignalSpy changed(&settings, &Settings::changed);
            settings.setValue(setting, *sample);
            EXPECT_EQ(settings.value(setting), *sample) << row.key;
            settings.setValue(setting, *sample);
            ASSERT_EQ(changed.count(), 1) << row.key << ": only a real change is announced";
            EXPECT_EQ(changed.first().first().toString(), QString(setting.key));
            store->sync();
        }
        const QStringList lines = fileText(path).split(QLatin1Char('\n'));
        const QString expected = QString::fromLatin1(row.fileLine);
        const bool found = std::any_of(lines.begin(), lines.end(),
            [&](const QString& line) { return row.linePrefix ? line.startsWith(expected) : line == expected; });
        EXPECT_TRUE(found) << row.key << " stored as:\n" << fileText(path).toStdString();

        Settings reopened { std::make_unique<SettingsFileStore>(path) };
        EXPECT_EQ(reopened.value(setting), *sample) << row.key << ": read back after a relaunch";
        QSignalSpy changed(&reopened, &Settings::changed);
        reopened.setValue(setting, setting.fallback);
        EXPECT_EQ(reopened.value(setting), setting.fallback) << row.key;
        EXPECT_EQ(changed.count(), 1) << row.key;
    });
}

TEST(SettingsTable, WritingWhatIsAlreadyReadStoresItButAnnouncesNothing)
{
    forEachSetting([&](const auto& setting, const Row& row) {
        auto* store = new MemorySettingsStore;
        Settings settings { std::unique_ptr<SettingsStore>(store) };
        QSignalSpy changed(&settings, &Settings::changed);
        settings.setValue(setting, setting.fallback);
        EXPECT_TRUE(store->value(setting.key).isValid()) << row.key << ": every assignment is written";
        if (!row.junk.isEmpty()) {
            store->setValue(setting.key, row.junk.first());
            settings.setValue(setting, setting.fallback);
            EXPECT_EQ(store->value(setting.key), setting.write(setting.fallback)) << row.key << ": junk replaced";
        }
        EXPECT_EQ(changed.count(), 0) << row.key << ": the value read never changed";
    });
}

TEST(SettingsFileStore, TheApplicationsFileIsZovaZovaConfUnderTheConfigFolder)
{
    QCoreApplication::setOrganizationName(QStringLiteral("ZOVA"));
    QCoreApplication::setApplicationName(QStringLiteral("ZOVA"));
    const QString path = QDir(qEnvironmentVariable("XDG_CONFIG_HOME")).filePath(QStringLiteral("ZOVA/ZOVA.conf"));
    QFile::remove(path);
    {
        Settings settings { std::make_unique<SettingsFileStore>() };
        settings.setValue(settings::themeMode, ThemeMode::Light);
    }
    EXPECT_TRUE(fileText(path).contains(QStringLiteral("vorne.theme.mode=light"))) << path.toStdString();
    QFile::remove(path);
}

} // namespace
