#pragma once

#include "app/recording/RecordingControl.h"

namespace zova {

// The flow's interface over the real recording service.
class ServiceRecordingControl final : public RecordingControl {
    Q_OBJECT
public:
    explicit ServiceRecordingControl(RecordingService& service, QObject* parent = nullptr);

    Phase phase() const override { return m_service.phase(); }
    void setPhase(Phase phase) override { m_service.setPhase(phase); }
    Guide* appendTargetGuide() const override { return m_service.appendTargetGuide(); }
    void setAppendTargetGuide(Guide* guide) override { m_service.setAppendTargetGuide(guide); }
    Guide* currentGuide() const override { return m_service.currentGuide(); }
    void setOnFinished(FinishedHandler handler) override { m_service.setOnFinished(std::move(handler)); }
    void refreshWindows() override { m_service.refreshWindows(); }
    void cancelPicker() override { m_service.cancelPicker(); }
    bool startRecording(const DesktopWindow& window) override { return m_service.startRecording(window); }
    bool startRecording(const DesktopScreen& display) override { return m_service.startRecording(display); }
    void stopRecording() override { m_service.stopRecording(); }
    void cancelRecording() override { m_service.cancelRecording(); }

private:
    RecordingService& m_service;
};

} // namespace zova
