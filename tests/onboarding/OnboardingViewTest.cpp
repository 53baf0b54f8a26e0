#include "onboarding/OnboardingView.h"
#include "engine/PermissionsService.h"
#include "model/Settings.h"
#include "onboarding/PermissionRow.h"
#include "style/PillButton.h"
#include "style/TextLine.h"
#include "support/ManualDelays.h"
#include "support/TestSupport.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using namespace zova;

namespace {

// A session whose answers the test sets; counts how often it is asked.
struct FakeSession {
    SessionGrants grants;
    int reads = 0;
    int freshReads = 0;
    PermissionsService::SessionProbe probe()
    {
        return [this](bool fresh) {
            ++reads;
            freshReads += fresh ? 1 : 0;
            return grants;
        };
    }
};

class ScreenFixture : public ::testing::Test {
protected:
    void make(SessionGrants grants)
    {
        m_session.grants = grants;
        m_permissions = std::make_unique<PermissionsService>(m_settings, m_session.probe());
        m_view = std::make_unique<OnboardingView>(m_permissions.get(), OnboardingView::pollIntervalMs, m_clock.delay());
        m_view->resize(1280, 820);
    }
    void click(QAbstractButton* button)
    {
        ASSERT_TRUE(button->isVisibleTo(m_view.get()));
        QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
    }

    Settings m_settings;
    test::ManualDelays m_clock;
    FakeSession m_session;
    std::unique_ptr<PermissionsService> m_permissions;
    std::unique_ptr<OnboardingView> m_view;
};

} // namespace

TEST_F(ScreenFixture, FooterAndRowsFollowTheGrants)
{
    using Top = OnboardingView::FooterTop;
    using Bottom = OnboardingView::FooterBottom;
    const struct {
        const char* name;
        bool screen, input;
        Top top;
        Bottom bottom;
    } rows[] = {
        { "both", true, true, Top::Continue, Bottom::Relaunch },
        { "screen only", true, false, Top::GrantAndSkip, Bottom::Relaunch },
        { "input only", false, true, Top::GrantAndSkip, Bottom::Relaunch },
        { "neither", false, false, Top::GrantAndSkip, Bottom::Note },
    };
    for (const auto& row : rows) {
        make({ row.screen, row.input });
        m_view->show();
        const OnboardingView::Footer expected { row.top, row.bottom };
        EXPECT_EQ(OnboardingView::footerFor(row.screen, row.input), expected) << row.name;
        EXPECT_EQ(m_view->footer(), expected) << row.name;
        EXPECT_EQ(m_view->continueButton()->isVisible(), row.top == Top::Continue) << row.name;
        EXPECT_EQ(m_view->skipButton()->isVisible(), row.top == Top::GrantAndSkip) << row.name;
        EXPECT_EQ(m_view->grantButton()->isVisible(), row.top == Top::GrantAndSkip) << row.name;
        EXPECT_EQ(m_view->relaunchButton()->isVisible(), row.bottom == Bottom::Relaunch) << row.name;
        EXPECT_EQ(m_view->relaunchNote()->isVisible(), row.bottom == Bottom::Note) << row.name;
        EXPECT_EQ(m_view->screenRecordingRow()->isGranted(), row.screen) << row.name;
        EXPECT_EQ(m_view->inputMonitoringRow()->isGranted(), row.input) << row.name;
    }
}

TEST_F(ScreenFixture, TextsNameBothPermissionsAsNeeded)
{
    make({ false, false });
    EXPECT_EQ(m_view->inputMonitoringRow()->title(), QStringLiteral("Input Monitoring"));
    EXPECT_EQ(
        m_view->inputMonitoringRow()->description(), QStringLiteral("Needed to turn each of your clicks into a step."));
    EXPECT_EQ(m_view->screenRecordingRow()->title(), QStringLiteral("Screen Recording"));
    EXPECT_EQ(m_view->grantButton()->text(), QStringLiteral("Check Again"));
    EXPECT_EQ(m_view->continueButton()->text(), QStringLiteral("Continue to Library"));
    EXPECT_EQ(m_view->skipButton()->text(), QStringLiteral("Skip Setup for Now"));
    EXPECT_EQ(m_view->relaunchButton()->text(), QStringLiteral("Relaunch Z.O.V.A to Apply Settings"));
    EXPECT_EQ(
        m_view->relaunchNote()->text(), QStringLiteral("Note: relaunch the app after switching to an X11 session."));
    // Nothing on the screen promises a recording without the click listener.
    QStringList shown;
    for (const TextLine* line : m_view->findChildren<TextLine*>())
        shown << line->text();
    for (const PermissionRow* row : m_view->findChildren<PermissionRow*>())
        shown << row->title() << row->description();
    for (const QAbstractButton* button : m_view->findChildren<QAbstractButton*>())
        shown << button->text();
    EXPECT_GE(shown.size(), 12);
    for (const QString& text : shown) {
        EXPECT_FALSE(text.contains(QStringLiteral("optional"), Qt::CaseInsensitive)) << text.toStdString();
        EXPECT_FALSE(text.contains(QStringLiteral("hotkey"), Qt::CaseInsensitive)) << text.toStdString();
        EXPECT_FALSE(text.contains(QStringLiteral("macOS"))) << text.toStdString();
    }
}

// The poll's waits run by hand, on the test's clock.
TEST_F(ScreenFixture, PollReadsTheSessionWhileShownAndWritesOnlyChanges)
{
    make({ false, false });
    QSignalSpy screen(m_permissions.get(), &PermissionsService::screenRecordingChanged);
    QSignalSpy input(m_permissions.get(), &PermissionsService::inputMonitoringChanged);
    const int before = m_session.reads;
    m_view->show();
    EXPECT_EQ(m_session.reads, before + 1) << "the first check runs as soon as the screen shows";
    EXPECT_EQ(m_clock.pendingDelays(), std::vector<long long> { OnboardingView::pollIntervalMs });
    m_clock.runNext();
    m_clock.runNext();
    EXPECT_EQ(m_session.reads, before + 3) << "then one every 1.5 s";
    EXPECT_EQ(m_clock.now(), 2 * OnboardingView::pollIntervalMs);
    EXPECT_EQ(screen.count() + input.count(), 0) << "unchanged answers notify nobody";

    const struct {
        const char* name;
        SessionGrants grants;
        bool screenGranted, continueShown, configureShown;
        int screenChanges, inputChanges;
    } passes[] = {
        { "screen recording granted", { true, false }, true, false, true, 1, 0 },
        { "both granted", { true, true }, true, true, false, 1, 1 },
        { "unchanged", { true, true }, true, true, false, 1, 1 },
        { "input monitoring revoked", { true, false }, true, false, true, 1, 2 },
    };
    for (const auto& pass : passes) {
        m_session.grants = pass.grants;
        m_clock.runNext();
        EXPECT_EQ(m_view->screenRecordingRow()->isGranted(), pass.screenGranted) << pass.name;
        EXPECT_EQ(m_view->continueButton()->isVisibleTo(m_view.get()), pass.continueShown) << pass.name;
        EXPECT_EQ(m_view->inputMonitoringRow()->configureButton()->isVisibleTo(m_view.get()), pass.configureShown)
            << pass.name;
        EXPECT_EQ(screen.count(), pass.screenChanges) << pass.name;
        EXPECT_EQ(input.count(), pass.inputChanges) << pass.name;
    }
    EXPECT_EQ(m_view->footer().bottom, OnboardingView::FooterBottom::Relaunch);

    m_view->hide();
    const int hidden = m_session.reads;
    m_clock.runUntil(m_clock.now() + 10 * OnboardingView::pollIntervalMs);
    EXPECT_EQ(m_session.reads, hidden) << "no poll while the screen is not shown";
    m_view->show();
    EXPECT_EQ(m_session.reads, hidden + 1) << "shown again, it reads at once";
    EXPECT_EQ(m_clock.pending(), 1) << "one poll, not one per showing";
}

TEST_F(ScreenFixture, BothWaysOutStoreTheFlag)
{
    const struct {
        const char* name;
        SessionGrants grants;
        PillButton* (OnboardingView::*button)() const;
    } rows[] = {
        { "Continue to Library", { true, true }, &OnboardingView::continueButton },
        { "Skip Setup for Now with nothing granted", { false, false }, &OnboardingView::skipButton },
    };
    for (const auto& row : rows) {
        m_settings.setValue(settings::onboardingCompleted, false);
        make(row.grants);
        m_view->show();
        QSignalSpy done(m_permissions.get(), &PermissionsService::hasCompletedOnboardingChanged);
        click(((*m_view).*row.button)());
        EXPECT_TRUE(m_permissions->hasCompletedOnboarding()) << row.name;
        EXPECT_EQ(done.count(), 1) << row.name;
        EXPECT_TRUE(m_settings.value(settings::onboardingCompleted)) << row.name << ": stored for the next launch";
        EXPECT_TRUE(PermissionsService(m_settings, m_session.probe()).hasCompletedOnboarding()) << row.name;
    }
}

TEST_F(ScreenFixture, CheckAgainAndConfigureAskTheSessionAfresh)
{
    make({ false, false });
    m_view->show();
    const struct {
        const char* name;
        QAbstractButton* button;
    } rows[] = {
        { "Check Again", m_view->grantButton() },
        { "Configure of Screen Recording", m_view->screenRecordingRow()->configureButton() },
        { "Configure of Input Monitoring", m_view->inputMonitoringRow()->configureButton() },
    };
    for (const auto& row : rows) {
        const int fresh = m_session.freshReads;
        click(row.button);
        EXPECT_EQ(m_session.freshReads, fresh + 1) << row.name;
    }
    m_session.grants = { true, true };
    click(m_view->grantButton());
    EXPECT_TRUE(m_view->continueButton()->isVisible()) << "the answer shows at once";
}
