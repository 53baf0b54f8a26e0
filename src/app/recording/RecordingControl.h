#pragma once

#include "engine/RecordingService.h"

#include <QObject>

namespace zova {

class Guide;

// What the library's recording flow uses of the recording service: one
// interface, so the flow can be driven by a fake in tests.
class RecordingControl : public QObject {
    Q_OBJECT
public:
    using Phase = RecordingService::Phase;
    using FinishedHandler = RecordingService::FinishedHandler;
    using QObject::QObject;

    virtual Phase phase() const = 0;
    virtual void setPhase(Phase phase) = 0;
    virtual Guide* appendTargetGuide() const = 0;
    virtual void setAppendTargetGuide(Guide* guide) = 0;
    // The guide a running recording writes into, or null.
    virtual Guide* currentGuide() const = 0;
    virtual void setOnFinished(FinishedHandler handler) = 0;

    virtual void refreshWindows() = 0;
    virtual void cancelPicker() = 0;
    // False when the recording did not start.
    virtual bool startRecording(const DesktopWindow& window) = 0;
    virtual bool startRecording(const DesktopScreen& display) = 0;
    virtual void stopRecording() = 0;
    virtual void cancelRecording() = 0;

signals:
    void phaseChanged();
};

} // namespace zova
