#include "onboarding/SettingsView.h"
#include "app/shell/AppPalettes.h"
#include "export/NarratorService.h"
#include "model/Settings.h"
#include "onboarding/LegalSettingsView.h"
#include "onboarding/VoiceSettingsView.h"
#include "platform/FakeVoiceCatalog.h"
#include "platform/speech/SpeechPreviewPlayer.h"
#include "style/TextLine.h"
#include "support/ManualDelays.h"
#include "support/TestSupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QLocale>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <signal.h>

using namespace zova;
using Voice = NarratorService::Voice;

namespace {

Voice voice(const char* id, const char* name, const char* language, int quality)
{
    return { QString::fromLatin1(id), QString::fromLatin1(name), QString::fromLatin1(language), quality };
}

const QList<Voice> installed
    = { voice("us-std", "Samantha", "en-US", Voice::Default), voice("de", "Anna", "de-DE", Voice::Enhanced),
          voice("us-premium", "Ava", "en-US", Voice::Premium), voice("gb", "Daniel", "en-GB", Voice::Default) };

class VoiceSettingsTest : public ::testing::Test {
protected:
    void SetUp() override { QLocale::setDefault(QLocale(QStringLiteral("en_US"))); }

    // A voice tab over the fake catalog, shown once.
    VoiceSettingsView& open()
    {
        NarratorService::Sources sources { m_catalog, [] { return QStringLiteral("en_US"); },
            [this] { return m_settings.value(settings::narratorVoiceID); } };
        m_view = std::make_unique<VoiceSettingsView>(
            m_settings, std::make_unique<NarratorService>(sources), m_clock.delay());
        m_view->resize(560, 440);
        m_view->show();
        return *m_view;
    }

    QStringList rowIds() const
    {
        QStringList ids;
        for (VoiceRow* row : m_view->rows())
            ids << row->id();
        return ids;
    }
    QStringList selectedIds() const
    {
        QStringList ids;
        for (VoiceRow* row : m_view->rows())
            if (row->isSelected())
                ids << row->id();
        return ids;
    }
    QVariant stored() const { return m_store->value(settings::narratorVoiceID.key); }

    std::shared_ptr<FakeVoiceCatalog> m_catalog = std::make_shared<FakeVoiceCatalog>(installed);
    MemorySettingsStore* m_store = new MemorySettingsStore;
    Settings m_settings { std::unique_ptr<SettingsStore>(m_store) };
    test::ManualDelays m_clock;
    std::unique_ptr<VoiceSettingsView> m_view;
};

TEST_F(VoiceSettingsTest, TheAutomaticRowComesFirstThenTheVoicesByLanguageAndQuality)
{
    VoiceSettingsView& view = open();
    EXPECT_EQ(rowIds(), (QStringList { "", "de", "gb", "us-premium", "us-std" }));
    const QList<VoiceRow*> rows = view.rows();
    EXPECT_EQ(rows[0]->title(), QStringLiteral("ZOVA default"));
    EXPECT_EQ(rows[0]->subtitle(), QStringLiteral("Currently: Ava (Premium) \u00B7 en-US"));
    EXPECT_TRUE(rows[0]->isAutoPick());
    EXPECT_EQ(rows[0]->previewButton(), nullptr) << "the automatic row has nothing to preview";
    EXPECT_EQ(rows[3]->title(), QStringLiteral("Ava"));
    EXPECT_EQ(rows[3]->subtitle(), QStringLiteral("English (United States) \u00B7 Premium quality"));
    for (VoiceRow* row : rows.mid(1)) {
        EXPECT_FALSE(row->isAutoPick()) << row->id().toStdString();
        ASSERT_NE(row->previewButton(), nullptr) << row->id().toStdString();
        EXPECT_EQ(row->previewButton()->toolTip(), QStringLiteral("Preview this voice"));
    }
    EXPECT_EQ(view.currentVoiceLine()->text(), QStringLiteral("Currently using: Ava (Premium) \u00B7 en-US"));

    m_catalog->m_voices.clear();
    view.refreshVoices();
    EXPECT_EQ(rowIds(), QStringList { "" }) << "no voice: the automatic row alone";
    EXPECT_EQ(view.rows()[0]->subtitle(), QStringLiteral("Picks the best installed voice automatically"));
    EXPECT_FALSE(view.currentVoiceLine()->isVisibleTo(&view));
}

TEST_F(VoiceSettingsTest, SubtitleNamesTheLanguageAndTheQuality)
{
    const struct {
        Voice voice;
        const char* subtitle;
    } rows[] = {
        { voice("a", "A", "en-US", Voice::Default), "English (United States) \u00B7 Standard quality" },
        { voice("b", "B", "de-DE", Voice::Enhanced), "German (Germany) \u00B7 Enhanced quality" },
        { voice("c", "C", "en-GB", Voice::Premium), "English (United Kingdom) \u00B7 Premium quality" },
        { voice("d", "D", "fr", 7), "French" },
        { voice("e", "E", "qaa-ZZ", Voice::Default), "qaa-ZZ \u00B7 Standard quality" },
    };
    QLocale::setDefault(QLocale(QStringLiteral("en_US")));
    for (const auto& row : rows)
        EXPECT_EQ(VoiceSettingsView::voiceSubtitle(row.voice).toStdString(), row.subtitle)
            << row.voice.language.toStdString();
}

TEST_F(VoiceSettingsTest, EachRowStoresItsIdentifierAndTheAutomaticRowTheEmptyString)
{
    VoiceSettingsView& view = open();
    EXPECT_EQ(selectedIds(), QStringList { "" });
    EXPECT_FALSE(stored().isValid()) << "nothing is written until a row is chosen";
    for (VoiceRow* row : view.rows().mid(1)) {
        QTest::mouseClick(row, Qt::LeftButton, {}, QPoint(40, row->height() / 2));
        EXPECT_EQ(stored(), QVariant(row->id()));
        EXPECT_EQ(selectedIds(), QStringList { row->id() });
        EXPECT_FALSE(view.currentVoiceLine()->isHidden());
    }
    EXPECT_EQ(view.currentVoiceLine()->text(), QStringLiteral("Currently using: Samantha \u00B7 en-US"));
    VoiceRow* automatic = view.rows().first();
    QTest::mouseClick(automatic, Qt::LeftButton, {}, QPoint(40, automatic->height() / 2));
    EXPECT_EQ(stored(), QVariant(QString())) << "the automatic row stores the empty string, the key stays";
    EXPECT_EQ(selectedIds(), QStringList { "" });
}

TEST_F(VoiceSettingsTest, AStoredVoiceIsSelectedAndAnUnknownOneSelectsNothing)
{
    m_store->setValue(settings::narratorVoiceID.key, QStringLiteral("gb"));
    VoiceSettingsView& view = open();
    EXPECT_EQ(selectedIds(), QStringList { "gb" });
    EXPECT_FALSE(view.findChild<TextLine*>(QStringLiteral("autoPicked"))->isVisibleTo(&view));
    view.hide();

    m_store->setValue(settings::narratorVoiceID.key, QStringLiteral("removed/voice"));
    view.show();
    EXPECT_TRUE(selectedIds().isEmpty()) << "the stored value matches no row";
    EXPECT_EQ(stored(), QVariant(QStringLiteral("removed/voice"))) << "kept as it is";
    EXPECT_TRUE(view.findChild<TextLine*>(QStringLiteral("autoPicked"))->isVisibleTo(&view));
    EXPECT_EQ(view.rows()[0]->subtitle(), QStringLiteral("Currently: Ava (Premium) \u00B7 en-US"));

    m_store->setValue(settings::narratorVoiceID.key, QVariant(QStringList { "a", "b" }));
    view.hide();
    view.show();
    EXPECT_EQ(selectedIds(), QStringList { "" }) << "an ill-formed value reads as the automatic choice";
}

TEST_F(VoiceSettingsTest, RefreshReadsTheInstalledVoicesAgain)
{
    VoiceSettingsView& view = open();
    QTest::mouseClick(view.rows()[2], Qt::LeftButton, {}, QPoint(40, 10));
    ASSERT_EQ(view.selectedID(), QStringLiteral("gb"));
    m_catalog->m_voices.append(voice("au", "Karen", "en-AU", Voice::Enhanced));
    EXPECT_EQ(view.rows().size(), 5) << "nothing changes before a refresh";
    auto* refresh = qobject_cast<QAbstractButton*>(view.refreshButton());
    ASSERT_NE(refresh, nullptr);
    EXPECT_EQ(refresh->text(), QStringLiteral("Refresh Voices"));
    refresh->click();
    EXPECT_EQ(rowIds(), (QStringList { "", "de", "au", "gb", "us-premium", "us-std" }));
    EXPECT_EQ(selectedIds(), QStringList { "gb" }) << "the choice survives the refresh";
}

TEST_F(VoiceSettingsTest, APreviewStopsTheRunningOneAndMovesTheIcon)
{
    QTemporaryDir dir;
    const QString script = dir.filePath("fake-espeak");
    const QString log = dir.filePath("log");
    ASSERT_TRUE(
        test::writeFile(script, QStringLiteral("#!/bin/sh\necho \"$$ $2\" >> %1\nexec sleep 30\n").arg(log).toUtf8()));
    QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    VoiceSettingsView& view = open();
    view.narrator()->previewPlayer()->setProgram(script);
    VoiceRow* german = view.rows()[1];
    VoiceRow* british = view.rows()[2];

    german->previewButton()->click();
    EXPECT_TRUE(german->isPreviewing());
    ASSERT_TRUE(test::waitUntil([&] { return test::readFile(log).count('\n') == 1; }));
    m_clock.runUntil(1000);
    british->previewButton()->click();
    EXPECT_EQ(view.previewingID(), QStringLiteral("gb"));
    EXPECT_FALSE(german->isPreviewing());
    EXPECT_EQ(german->previewButton()->property("symbol").toString(), QStringLiteral("play.fill"));
    EXPECT_EQ(british->previewButton()->property("symbol").toString(), QStringLiteral("speaker.wave.2.fill"));
    ASSERT_TRUE(test::waitUntil([&] { return test::readFile(log).count('\n') == 2; }));
    const QList<QByteArray> lines = test::readFile(log).trimmed().split('\n');
    EXPECT_TRUE(lines[0].endsWith(" de"));
    EXPECT_TRUE(lines[1].endsWith(" gb"));
    const pid_t first = lines[0].split(' ')[0].toInt();
    EXPECT_TRUE(test::waitUntil([&] { return ::kill(first, 0) != 0; })) << "the first preview was stopped";
    EXPECT_EQ(selectedIds(), QStringList { "" }) << "a preview chooses nothing";

    // The first preview's wait ends while the second's runs: the icon stays.
    m_clock.runUntil(VoiceSettingsView::previewIconMs);
    EXPECT_TRUE(british->isPreviewing());
    EXPECT_EQ(view.previewingID(), QStringLiteral("gb"));
    m_clock.runUntil(1000 + VoiceSettingsView::previewIconMs - 1);
    EXPECT_TRUE(british->isPreviewing());
    m_clock.runUntil(1000 + VoiceSettingsView::previewIconMs);
    EXPECT_FALSE(british->isPreviewing()) << "the second's own wait ends it";
    EXPECT_FALSE(view.previewingID().has_value());
    view.narrator()->previewPlayer()->stop();
}

// Where an installed application and one in its build tree find their documents.
TEST(LegalSettings, DocumentsBesideTheBinaryOrUnderShare)
{
    QTemporaryDir root;
    const QString bin = root.filePath("bin");
    ASSERT_TRUE(test::writeFile(root.filePath("share/zova/PRIVACY"), "installed"));
    ASSERT_TRUE(test::writeFile(root.filePath("bin/PRIVACY"), "beside"));
    ASSERT_TRUE(test::writeFile(root.filePath("bin/LICENSE"), "beside"));
    const struct {
        const char* name;
        QString folder, document, expected;
    } rows[] = {
        { "installed first", bin, "PRIVACY", root.filePath("share/zova/PRIVACY") },
        { "else beside the binary", bin, "LICENSE", root.filePath("bin/LICENSE") },
        { "neither", bin, "NOTICE", QString() },
        { "another binary folder", root.filePath("elsewhere"), "PRIVACY", QString() },
    };
    for (const auto& row : rows) {
        const QUrl url = Legal::installedDocument(row.folder, row.document);
        EXPECT_EQ(url.toLocalFile(), row.expected.isEmpty() ? QString() : QFileInfo(row.expected).canonicalFilePath())
            << row.name;
    }
}

// The application's own binary finds both, as a user's click would.
TEST(LegalSettings, TheApplicationBinaryHasItsDocuments)
{
    for (const char* document : { "PRIVACY", "LICENSE" })
        EXPECT_FALSE(Legal::installedDocument(QStringLiteral(ZOVA_APP_DIR), QString::fromLatin1(document)).isEmpty())
            << document << " beside " << ZOVA_APP_DIR;
}

TEST(LegalSettings, LinksOpenTheInstalledPrivacyStatementAndLicence)
{
    QList<QUrl> opened;
    LegalSettingsView view([&](const QUrl& url) {
        opened << url;
        return true;
    });
    EXPECT_EQ(view.privacyLink()->text(), QStringLiteral("View Privacy Policy"));
    EXPECT_EQ(view.licenseLink()->text(), QStringLiteral("View License Agreement"));
    view.privacyLink()->click();
    view.licenseLink()->click();
    ASSERT_EQ(opened.size(), 2);
    ASSERT_TRUE(opened[0].isLocalFile()) << opened[0].toString().toStdString();
    const QByteArray statement = test::readFile(opened[0].toLocalFile());
    EXPECT_TRUE(statement.startsWith("Z.O.V.A privacy statement")) << opened[0].toString().toStdString();
    for (const char* says : { "~/.local/share/ZOVA/ZOVA.store", "~/.local/share/ZOVA/screenshots/",
             "~/.config/ZOVA/ZOVA.conf", "It accepts only loopback addresses" })
        EXPECT_TRUE(statement.contains(says)) << says;
    EXPECT_TRUE(opened[1].isLocalFile());
    EXPECT_TRUE(test::readFile(opened[1].toLocalFile()).startsWith("MIT License"))
        << opened[1].toString().toStdString();
    QStringList texts;
    for (TextLine* line : view.findChildren<TextLine*>())
        texts << line->text();
    EXPECT_TRUE(
        texts.contains(QStringLiteral("How we handle your data. All guides and screenshots stay on this computer.")));
    EXPECT_TRUE(std::any_of(texts.begin(), texts.end(), [](const QString& t) {
        return t.startsWith(QStringLiteral("Z.O.V.A stores all data locally on this computer. "));
    }));
}

TEST(SettingsWindow, OpensOnVoiceAndHasBothTabs)
{
    Settings settings;
    SettingsView window(settings);
    ASSERT_EQ(window.tabs()->count(), 2);
    EXPECT_EQ(window.tabs()->tabText(0), QStringLiteral("Voice"));
    EXPECT_EQ(window.tabs()->tabText(1), QStringLiteral("Legal"));
    EXPECT_EQ(window.tabs()->currentIndex(), 0);
    EXPECT_EQ(window.size(), QSize(560, 480));
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Settings"));
}

} // namespace

// Writes pictures of both tabs, light and dark, into $ZOVA_SCREENSHOT_DIR; skipped without it.
TEST(SettingsScreenshots, BothTabsLightAndDark)
{
    const QString dir = qEnvironmentVariable("ZOVA_SCREENSHOT_DIR");
    if (dir.isEmpty())
        GTEST_SKIP() << "ZOVA_SCREENSHOT_DIR not set";
    QLocale::setDefault(QLocale(QStringLiteral("en_US")));
    for (bool dark : { false, true }) {
        QApplication::setPalette(dark ? AppPalettes::dark() : AppPalettes::light());
        Settings settings;
        SettingsView window(settings);
        const QList<Voice> voices = window.voice()->narrator()->availableVoices();
        ASSERT_GT(voices.size(), 3) << "espeak-ng-data is installed";
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        window.voice()->setSelectedID(voices[2].identifier);
        const QString scheme = dark ? QStringLiteral("dark") : QStringLiteral("light");
        for (int tab : { 0, 1 }) {
            window.tabs()->setCurrentIndex(tab);
            QTest::qWait(100);
            const QString name = tab == 0 ? QStringLiteral("voice") : QStringLiteral("legal");
            EXPECT_TRUE(window.grab().save(dir + QStringLiteral("/settings-%1-%2.png").arg(name, scheme)));
        }
    }
}
