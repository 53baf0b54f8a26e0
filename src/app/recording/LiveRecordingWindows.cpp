#include "app/recording/LiveRecordingWindows.h"

#include "recording_ui/RecordingFeed.h"
#include "recording_ui/RecordingHUD.h"
#include "recording_ui/WindowPickerView.h"
#include "style/SheetTransition.h"

namespace zova {

LiveRecordingWindows::LiveRecordingWindows(
    RecordingFeed& feed, PermissionsService& permissions, std::shared_ptr<CompositingCheck> compositing, QWidget* host)
    : m_feed(&feed)
    , m_permissions(permissions)
    , m_host(host)
    , m_hud(compositing)
    , m_overlay(compositing)
{
}

LiveRecordingWindows::~LiveRecordingWindows()
{
    m_overlay.dismiss();
    m_hud.close();
    delete m_picker;
}

void LiveRecordingWindows::showPicker(PickerActions actions)
{
    if (!m_host || !m_feed)
        return;
    if (m_picker) {
        m_picker->setAttribute(Qt::WA_TransparentForMouseEvents);
        m_picker->deleteLater();
    }
    auto* picker = new WindowPickerView(*m_feed, m_permissions, std::move(actions.cancel),
        std::move(actions.startWindow), std::move(actions.startDisplay), m_host);
    m_picker = picker;
    picker->raise();
    picker->show();
    picker->setFocus(Qt::OtherFocusReason);
    SheetTransition::enter(picker);
}

void LiveRecordingWindows::unlockPicker()
{
    if (m_picker)
        m_picker->startFinished();
}

void LiveRecordingWindows::hidePicker()
{
    WindowPickerView* picker = m_picker;
    m_picker = nullptr;
    if (!picker)
        return;
    SheetTransition::leaveAndDelete(picker);
}

void LiveRecordingWindows::presentOutline()
{
    if (m_feed)
        m_overlay.present(*m_feed);
}

void LiveRecordingWindows::dismissOutline() { m_overlay.dismiss(); }

void LiveRecordingWindows::presentPanel(PanelActions actions)
{
    if (m_feed)
        m_hud.present(*m_feed, std::move(actions.stop), std::move(actions.cancel));
}

bool LiveRecordingWindows::hasPanel() const { return m_hud.panel() != nullptr; }

void LiveRecordingWindows::closePanel() { m_hud.close(); }

} // namespace zova
