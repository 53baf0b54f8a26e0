#include "FlowFakes.h"
#include "recording_ui/FakeFeed.h"
#include "support/FakeBackends.h"

#include "app/recording/LiveRecordingWindows.h"
#include "app/recording/RecordingFlow.h"
#include "engine/PermissionsService.h"
#include "model/Settings.h"
#include "recording_ui/WindowPickerView.h"
#include "style/SheetTransition.h"
#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPointer>
#include <QWidget>

#include <gtest/gtest.h>

using namespace zova;
using Phase = RecordingControl::Phase;

namespace {

void settle()
{
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

class FlowFixture : public ::testing::Test {
protected:
    FlowFixture()
        : service(log)
        , windows(log)
        , ops(log)
        , flow(service, windows, ops,
              RecordingFlow::Host { [this] { return &mainWindow; },
                  [this](Guide* g) {
                      log.add(QStringLiteral("open:") + g->title());
                      opened = g;
                  } })
    {
    }

    // New Guide (or an append request) until the picker is up.
    void openPicker(Guide* appendTo = nullptr)
    {
        if (appendTo)
            flow.startAppendRecording(appendTo);
        else
            flow.startPickingWindow();
        settle();
        ASSERT_EQ(service.phase(), Phase::Picking);
        ASSERT_TRUE(windows.pickerShown);
        log.take();
    }

    void pickWindow(const QString& title)
    {
        DesktopWindow w;
        w.windowID = 7;
        w.title = title;
        windows.picker.startWindow(w);
        settle();
    }

    FlowLog log;
    FakeRecordingControl service;
    FakeRecordingWindows windows;
    FakeWindowOps ops;
    QWidget mainWindow;
    RecordingFlow flow;
    QPointer<Guide> opened;
};

TEST_F(FlowFixture, NewGuideOpensThePickerAndLists)
{
    flow.startPickingWindow();
    EXPECT_TRUE(log.entries.isEmpty()) << "the picking runs as a task, after the request returns";
    settle();
    EXPECT_EQ(log.take(), (QStringList { "phase:picking", "showPicker", "refresh" }));
    flow.startPickingWindow();
    settle();
    EXPECT_EQ(log.take(), (QStringList { "refresh" })) << "a second request only lists again";
}

TEST_F(FlowFixture, StartOrderIsMinimiseStartOutlinePanel)
{
    struct Row {
        const char* name;
        bool display;
        QString started;
    };
    for (const Row& row : { Row { "window", false, "start:Editor" }, Row { "display", true, "start:display3" } }) {
        SCOPED_TRACE(row.name);
        openPicker();
        if (row.display) {
            DesktopScreen d;
            d.displayID = 3;
            windows.picker.startDisplay(d);
            EXPECT_TRUE(log.entries.isEmpty()) << "nothing starts inside the picker's own callback";
            settle();
        } else {
            pickWindow(QStringLiteral("Editor"));
        }
        EXPECT_EQ(
            log.take(), (QStringList { "minimize", row.started, "phase:armed", "hidePicker", "outline", "panel" }));
        windows.panel.cancel();
        settle();
        log.take();
    }
}

TEST_F(FlowFixture, StopClosesPanelsAfterTheButtonReturnsAndOpensTheGuide)
{
    Guide appended(QStringLiteral("Existing"));
    struct Row {
        const char* name;
        Guide* appendTo;
        QString openedTitle;
    };
    for (const Row& row :
        { Row { "new guide", nullptr, "New one" }, Row { "appended guide", &appended, "Existing" } }) {
        SCOPED_TRACE(row.name);
        openPicker(row.appendTo);
        pickWindow(QStringLiteral("Editor"));
        log.take();
        windows.panel.stop();
        EXPECT_TRUE(log.entries.isEmpty()) << "the panel is not closed from inside its own button";
        EXPECT_TRUE(windows.panelShown);
        settle();
        EXPECT_EQ(log.take(),
            (QStringList { "stop", "phase:finishing", "closePanel", "dismissOutline", "bringToFront",
                "open:" + row.openedTitle, "phase:idle" }));
        EXPECT_EQ(opened.data(), row.appendTo ? row.appendTo : &service.created);
        EXPECT_EQ(service.appendTargetGuide(), nullptr);
    }
}

TEST_F(FlowFixture, PanelCancelBringsTheWindowBackWithoutOpening)
{
    openPicker();
    pickWindow(QStringLiteral("Editor"));
    log.take();
    windows.panel.cancel();
    EXPECT_TRUE(log.entries.isEmpty());
    settle();
    EXPECT_EQ(log.take(), (QStringList { "cancel", "phase:idle", "closePanel", "dismissOutline", "bringToFront" }));
    EXPECT_EQ(opened.data(), nullptr);
    EXPECT_FALSE(windows.pickerShown) << "the picker does not come back after a cancelled recording";
}

TEST_F(FlowFixture, FailedStartLeavesTheLibraryAsItWas)
{
    openPicker();
    service.failStart = true;
    pickWindow(QStringLiteral("Editor"));
    EXPECT_EQ(log.take(), (QStringList { "minimize", "start:Editor", "bringToFront" }));
    EXPECT_EQ(service.phase(), Phase::Picking);
    EXPECT_TRUE(windows.pickerShown);
    EXPECT_FALSE(windows.panelShown);

    service.failStart = false;
    pickWindow(QStringLiteral("Editor"));
    EXPECT_EQ(log.take(), (QStringList { "minimize", "start:Editor", "phase:armed", "hidePicker", "outline", "panel" }))
        << "the same picker can start once the failure is gone";
}

TEST_F(FlowFixture, PickerCancelNeverTouchesTheWindow)
{
    openPicker();
    windows.picker.cancel();
    settle();
    EXPECT_EQ(log.take(), (QStringList { "cancelPicker", "phase:idle", "hidePicker" }));
    EXPECT_EQ(service.phase(), Phase::Idle);
}

TEST_F(FlowFixture, SecondPickOfTheSamePickerIsIgnored)
{
    openPicker();
    DesktopWindow w;
    w.title = QStringLiteral("Editor");
    windows.picker.startWindow(w);
    windows.picker.startWindow(w);
    settle();
    EXPECT_EQ(
        log.take(), (QStringList { "minimize", "start:Editor", "phase:armed", "hidePicker", "outline", "panel" }));
}

TEST_F(FlowFixture, NewGuideAfterCancelledAppendStartsANewGuide)
{
    Guide existing(QStringLiteral("Existing"));
    openPicker(&existing);
    EXPECT_EQ(service.appendTargetGuide(), &existing);
    windows.picker.cancel();
    settle();
    EXPECT_EQ(service.appendTargetGuide(), &existing) << "the picker's cancel keeps the target";

    openPicker();
    EXPECT_EQ(service.appendTargetGuide(), nullptr);
    pickWindow(QStringLiteral("Editor"));
    windows.panel.stop();
    settle();
    EXPECT_EQ(opened.data(), &service.created);
}

TEST_F(FlowFixture, RequestsDuringARecordingChangeNothing)
{
    Guide existing(QStringLiteral("Existing"));
    Guide other(QStringLiteral("Other"));
    openPicker(&existing);
    pickWindow(QStringLiteral("Editor"));
    log.take();
    flow.startPickingWindow();
    flow.startAppendRecording(&other);
    settle();
    EXPECT_TRUE(log.entries.isEmpty());
    EXPECT_EQ(service.phase(), Phase::Armed);
    EXPECT_EQ(service.appendTargetGuide(), &existing);
    EXPECT_TRUE(flow.isBeingRecorded(existing));
    EXPECT_FALSE(flow.isBeingRecorded(other));
}

TEST_F(FlowFixture, DeletingTheAppendTargetDropsIt)
{
    Guide existing(QStringLiteral("Existing"));
    Guide other(QStringLiteral("Other"));
    openPicker(&existing);
    EXPECT_FALSE(flow.isBeingRecorded(existing)) << "a pending target is not being recorded yet";
    flow.willDelete(other);
    EXPECT_EQ(service.appendTargetGuide(), &existing);
    flow.willDelete(existing);
    EXPECT_EQ(service.appendTargetGuide(), nullptr);
}

TEST(Flow, WithoutAMainWindowTheFlowStillRuns)
{
    FlowLog log;
    FakeRecordingControl service(log);
    FakeRecordingWindows windows(log);
    FakeWindowOps ops(log);
    RecordingFlow bare(service, windows, ops, RecordingFlow::Host {});
    bare.startPickingWindow();
    settle();
    log.take();
    DesktopWindow w;
    w.title = QStringLiteral("Editor");
    windows.picker.startWindow(w);
    settle();
    EXPECT_EQ(log.take(), (QStringList { "start:Editor", "phase:armed", "hidePicker", "outline", "panel" }));
    windows.panel.stop();
    settle();
    EXPECT_EQ(log.take(), (QStringList { "stop", "phase:finishing", "closePanel", "dismissOutline", "phase:idle" }));
}

} // namespace

// The real picker window comes in and goes with the sheet transition: a fade with
// a scale from 0.96 about the centre.
TEST(LivePicker, ComesAndGoesFadingAndScaling)
{
    FakeFeed feed;
    Settings settings;
    PermissionsService permissions(settings, [](bool) { return SessionGrants { true, true }; });
    QWidget library;
    library.resize(1100, 720);
    library.show();
    LiveRecordingWindows windows(feed, permissions, std::make_shared<FakeCompositingCheck>(), &library);
    windows.showPicker({});
    QPointer<WindowPickerView> picker = windows.picker();
    ASSERT_TRUE(picker);
    auto* in = qobject_cast<SheetTransition*>(picker->graphicsEffect());
    ASSERT_NE(in, nullptr);
    in->animation()->pause();
    in->animation()->setCurrentTime(0);
    EXPECT_EQ(in->opacity(), 0);
    EXPECT_EQ(in->scale(), SheetTransition::startScale);
    in->animation()->setCurrentTime(SheetTransition::durationMs);
    EXPECT_EQ(picker->graphicsEffect(), nullptr) << "drawn plainly once in";

    windows.hidePicker();
    ASSERT_TRUE(picker) << "it stays while it goes";
    auto* out = qobject_cast<SheetTransition*>(picker->graphicsEffect());
    ASSERT_NE(out, nullptr);
    out->animation()->pause();
    out->animation()->setCurrentTime(SheetTransition::durationMs / 2);
    EXPECT_NEAR(out->scale(), 0.98, 1e-9);
    EXPECT_NEAR(out->opacity(), 0.5, 1e-9);
    out->animation()->setCurrentTime(SheetTransition::durationMs);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(picker.isNull()) << "deleted once out";
}
