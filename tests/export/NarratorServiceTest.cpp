#include "export/NarratorService.h"
#include "model/Settings.h"
#include "platform/speech/EspeakVoiceCatalog.h"
#include "platform/speech/LanguageTag.h"

#include "platform/speech/SpeechPreviewPlayer.h"
#include "support/TestSupport.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <signal.h>

using namespace zova;
using Voice = NarratorService::Voice;

namespace {

class FakeCatalog : public speech::VoiceCatalog {
public:
    explicit FakeCatalog(QList<Voice> voices)
        : m_voices(std::move(voices))
    {
    }
    QList<Voice> installedVoices() const override { return m_voices; }
    QList<Voice> m_voices;
};

Voice v(const char* id, const char* lang, int quality)
{
    return { QString::fromLatin1(id), QStringLiteral("Voice ") + QString::fromLatin1(id), QString::fromLatin1(lang),
        quality };
}

struct PickCase {
    const char* name;
    const char* locale;
    QList<Voice> voices;
    const char* expected; // identifier, or nullptr for none
};

} // namespace

class AutoPickTest : public ::testing::TestWithParam<PickCase> { };

TEST_P(AutoPickTest, PicksTheExpectedVoice)
{
    const PickCase& c = GetParam();
    const auto pick = NarratorService::autoPickBestVoice(c.voices, QString::fromLatin1(c.locale));
    if (!c.expected) {
        EXPECT_FALSE(pick.has_value());
        return;
    }
    ASSERT_TRUE(pick.has_value());
    EXPECT_EQ(pick->identifier.toStdString(), c.expected);
}

static const QList<Voice> english
    = { v("us-premium", "en-US", 3), v("gb-default", "en-GB", 1), v("au-enhanced", "en-AU", 2) };

INSTANTIATE_TEST_SUITE_P(Table, AutoPickTest,
    ::testing::Values(PickCase { "ExactTagBeatsQuality", "en_GB", english, "gb-default" },
        PickCase { "PrefixTakesBestQuality", "en_IE", english, "us-premium" },
        PickCase { "NoLanguageFallsBackToEnUs", "de_DE",
            { v("gb", "en-GB", 3), v("us1", "en-US", 1), v("us2", "en-US", 2) }, "us2" },
        PickCase { "NoEnUsFallsBackToAnyEnglish", "de_DE",
            { v("fr", "fr-FR", 3), v("gb1", "en-GB", 1), v("gb2", "en-GB", 2) }, "gb2" },
        PickCase { "NothingMatchingTakesBestOfList", "de_DE",
            { v("fr", "fr-FR", 1), v("ja1", "ja-JP", 2), v("ja2", "ja-JP", 2) }, "ja1" },
        PickCase {
            "ScriptLocaleExactMatch", "zh-Hans_CN", { v("zh-tw", "zh-TW", 3), v("zh-cn", "zh-Hans-CN", 1) }, "zh-cn" },
        PickCase { "ScriptLocalePrefix", "zh-Hans_CN", { v("en", "en-US", 3), v("zh-tw", "zh-TW", 1) }, "zh-tw" },
        PickCase { "PrefixNeedsHyphen", "en_GB", { v("enx", "enx", 3), v("fr", "fr-FR", 1) }, "enx" },
        PickCase { "ShortLocaleUsesWholeTag", "e", { v("e", "e-X", 1), v("fr", "fr-FR", 3) }, "e" },
        PickCase { "NoVoices", "en_US", {}, nullptr }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(NarratorServiceTest, AvailableVoicesSortByLanguageThenQualityStably)
{
    auto catalog = std::make_shared<FakeCatalog>(QList<Voice> { v("us-a", "en-US", 1), v("de", "de-DE", 1),
        v("us-b", "en-US", 3), v("gb", "en-GB", 2), v("us-c", "en-US", 1), v("us-d", "en-US", 2) });
    NarratorService narrator({ catalog, [] { return QStringLiteral("en_US"); }, [] { return QString(); } });
    QStringList ids;
    for (const Voice& voice : narrator.availableVoices())
        ids << voice.identifier;
    EXPECT_EQ(ids, (QStringList { "de", "gb", "us-b", "us-d", "us-a", "us-c" }));
}

TEST(NarratorServiceTest, StoredIdentifierResolvesOrFallsBack)
{
    auto catalog = std::make_shared<FakeCatalog>(english);
    QString stored;
    NarratorService narrator({ catalog, [] { return QStringLiteral("en_US"); }, [&] { return stored; } });

    struct Row {
        const char* stored;
        bool autoPicking;
        const char* effective;
    };
    for (const Row& row : { Row { "", true, "us-premium" }, Row { "gb-default", false, "gb-default" },
             Row { "deleted-voice", true, "us-premium" }, Row { "au-enhanced", false, "au-enhanced" } }) {
        stored = QString::fromLatin1(row.stored);
        EXPECT_EQ(narrator.isAutoPicking(), row.autoPicking) << row.stored;
        ASSERT_TRUE(narrator.effectiveVoice().has_value());
        EXPECT_EQ(narrator.effectiveVoice()->identifier.toStdString(), row.effective) << row.stored;
    }
    // A voice installed after construction shows up at the next call.
    catalog->m_voices.append(v("late", "en-US", 3));
    stored = QStringLiteral("late");
    EXPECT_FALSE(narrator.isAutoPicking());
    catalog->m_voices.clear();
    EXPECT_FALSE(narrator.effectiveVoice().has_value());
    EXPECT_TRUE(narrator.isAutoPicking());
}

TEST(NarratorServiceTest, DefaultSourcesReadTheStoredSetting)
{
    Settings settings;
    NarratorService narrator(settings);
    const auto voices = narrator.availableVoices();
    ASSERT_FALSE(voices.isEmpty()) << "espeak-ng-data is installed";
    EXPECT_TRUE(narrator.isAutoPicking()) << "nothing stored";
    settings.setValue(settings::narratorVoiceID, QString());
    EXPECT_TRUE(narrator.isAutoPicking());
    // Pick a voice that the automatic choice would not give.
    const Voice chosen
        = voices.last().identifier == narrator.effectiveVoice()->identifier ? voices.first() : voices.last();
    settings.setValue(settings::narratorVoiceID, chosen.identifier);
    EXPECT_FALSE(narrator.isAutoPicking());
    EXPECT_EQ(narrator.effectiveVoice(), chosen);
    settings.setValue(settings::narratorVoiceID, QStringLiteral("no/such-voice"));
    EXPECT_TRUE(narrator.isAutoPicking());
}

TEST(NarratorServiceTest, DisplayNameTable)
{
    EXPECT_EQ(NarratorService::displayName(v("a", "en-GB", 1)), QStringLiteral("Voice a \u00B7 en-GB"));
    EXPECT_EQ(NarratorService::displayName(v("a", "en-GB", 2)), QStringLiteral("Voice a (Enhanced) \u00B7 en-GB"));
    EXPECT_EQ(NarratorService::displayName(v("a", "de-DE", 3)), QStringLiteral("Voice a (Premium) \u00B7 de-DE"));
    EXPECT_EQ(NarratorService::displayName(v("a", "de-DE", 7)), QStringLiteral("Voice a \u00B7 de-DE"));
}

TEST(EspeakVoiceCatalogTest, ListsInstalledVoicesWithBcp47Languages)
{
    const auto voices = speech::EspeakVoiceCatalog().installedVoices();
    ASSERT_GT(voices.size(), 50);
    bool sawUs = false;
    for (const Voice& voice : voices) {
        EXPECT_FALSE(voice.identifier.isEmpty());
        EXPECT_FALSE(voice.name.isEmpty());
        EXPECT_EQ(voice.language, speech::normalizedLanguageTag(voice.language));
        EXPECT_EQ(voice.quality, Voice::Default);
        if (voice.identifier == QLatin1String("gmw/en-US")) {
            sawUs = true;
            EXPECT_EQ(voice.language, QStringLiteral("en-US"));
        }
    }
    EXPECT_TRUE(sawUs);
    // en_US picks the American English voice among espeak-ng's.
    EXPECT_EQ(NarratorService::autoPickBestVoice(voices, QStringLiteral("en_US"))->language, QStringLiteral("en-US"));
}

TEST(LanguageTagTest, NormalisesCase)
{
    const std::pair<const char*, const char*> rows[]
        = { { "en-gb", "en-GB" }, { "EN_us", "en-US" }, { "zh-hans-cn", "zh-Hans-CN" }, { "en-gb-x-rp", "en-GB-x-rp" },
              { "en-029", "en-029" }, { "yue", "yue" }, { "sr-latn", "sr-Latn" }, { "de", "de" } };
    for (const auto& [in, out] : rows)
        EXPECT_EQ(speech::normalizedLanguageTag(QString::fromLatin1(in)).toStdString(), out) << in;
}

TEST(NarratorServiceTest, PreviewWithoutAudioOutputFailsQuietly)
{
    const Settings settings;
    NarratorService narrator(settings);
    const auto voice = narrator.effectiveVoice();
    ASSERT_TRUE(voice.has_value());
    narrator.preview(*voice);
    narrator.preview(*voice);
}

TEST(SpeechPreviewPlayerTest, SecondSentenceCutsTheFirstShort)
{
    QTemporaryDir dir;
    const QString script = dir.filePath("fake-espeak");
    const QString log = dir.filePath("log");
    ASSERT_TRUE(zova::test::writeFile(
        script, QStringLiteral("#!/bin/sh\necho \"$$ $2 $(cat)\" >> %1\nexec sleep 30\n").arg(log).toUtf8()));
    QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    speech::SpeechPreviewPlayer player;
    player.setProgram(script);
    player.speak(QStringLiteral("first"), QStringLiteral("v/one"));
    ASSERT_TRUE(zova::test::waitUntil([&] { return zova::test::readFile(log).count('\n') == 1; }));
    player.speak(QStringLiteral("second"), QStringLiteral("v/two"));
    ASSERT_TRUE(zova::test::waitUntil([&] { return zova::test::readFile(log).count('\n') == 2; }));
    const QList<QByteArray> lines = zova::test::readFile(log).trimmed().split('\n');
    const pid_t first = lines[0].split(' ')[0].toInt();
    EXPECT_TRUE(lines[0].endsWith("v/one first"));
    EXPECT_TRUE(lines[1].endsWith("v/two second"));
    EXPECT_NE(::kill(first, 0), 0) << "first preview still running";
    EXPECT_TRUE(player.isSpeaking());
    player.stop();
    EXPECT_FALSE(player.isSpeaking());
}
