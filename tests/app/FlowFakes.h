#pragma once

#include "app/recording/RecordingControl.h"
#include "app/recording/RecordingWindows.h"
#include "app/shell/AppWindowOps.h"
#include "model/Guide.h"

#include <QStringList>

#include <memory>
#include <utility>

// Fakes of the recording flow's collaborators; all of them write into one log,
// so the order of calls across them can be checked.
struct FlowLog {
    QStringList entries;
    void add(const QString& e) { entries << e; }
    QStringList take()
    {
        QStringList out = entries;
        entries.clear();
        return out;
    }
};

class FakeRecordingControl : public zova::RecordingControl {
public:
    explicit FakeRecordingControl(FlowLog& log)
        : m_log(log)
    {
    }

    Phase phase() const override { return m_phase; }
    void setPhase(Phase phase) override
    {
        if (phase == m_phase)
            return;
        m_phase = phase;
        m_log.add(QStringLiteral("phase:") + name(phase));
        emit phaseChanged();
    }
    zova::Guide* appendTargetGuide() const override { return m_append; }
    void setAppendTargetGuide(zova::Guide* guide) override { m_append = guide; }
    zova::Guide* currentGuide() const override { return m_current; }
    void setOnFinished(FinishedHandler handler) override { m_onFinished = std::move(handler); }

    void refreshWindows() override { m_log.add(QStringLiteral("refresh")); }
    void cancelPicker() override
    {
        m_log.add(QStringLiteral("cancelPicker"));
        setPhase(Phase::Idle);
    }
    bool startRecording(const zova::DesktopWindow& window) override
    {
        m_log.add(QStringLiteral("start:") + window.title.value_or(QString()));
        return arm();
    }
    bool startRecording(const zova::DesktopScreen& display) override
    {
        m_log.add(QStringLiteral("start:display%1").arg(display.displayID));
        return arm();
    }
    void stopRecording() override
    {
        m_log.add(QStringLiteral("stop"));
        if (m_phase != Phase::Armed && m_phase != Phase::Paused)
            return;
        setPhase(Phase::Finishing);
        zova::Guide* guide = m_current;
        const bool isNew = m_append == nullptr;
        if (m_onFinished)
            m_onFinished(guide, isNew);
        reset();
    }
    void cancelRecording() override
    {
        m_log.add(QStringLiteral("cancel"));
        reset();
    }

    bool failStart = false;
    zova::Guide created { QStringLiteral("New one") };

    static QString name(Phase phase)
    {
        switch (phase) {
        case Phase::Idle: return QStringLiteral("idle");
        case Phase::Picking: return QStringLiteral("picking");
        case Phase::Armed: return QStringLiteral("armed");
        case Phase::Paused: return QStringLiteral("paused");
        case Phase::Finishing: return QStringLiteral("finishing");
        }
        return {};
    }

private:
    bool arm()
    {
        if (failStart || m_phase != Phase::Picking)
            return false;
        m_current = m_append ? m_append : &created;
        setPhase(Phase::Armed);
        return true;
    }
    void reset()
    {
        m_current = nullptr;
        m_append = nullptr;
        setPhase(Phase::Idle);
    }

    FlowLog& m_log;
    Phase m_phase = Phase::Idle;
    zova::Guide* m_append = nullptr;
    zova::Guide* m_current = nullptr;
    FinishedHandler m_onFinished;
};

class FakeRecordingWindows : public zova::RecordingWindows {
public:
    explicit FakeRecordingWindows(FlowLog& log)
        : m_log(log)
    {
    }

    // Like the real picker, takes one pick until it is unlocked or replaced.
    void showPicker(PickerActions actions) override
    {
        m_log.add(QStringLiteral("showPicker"));
        pickerLocked = false;
        picker.cancel = std::move(actions.cancel);
        picker.startWindow = [this, start = std::move(actions.startWindow)](const zova::DesktopWindow& w) {
            if (std::exchange(pickerLocked, true))
                return;
            start(w);
        };
        picker.startDisplay = [this, start = std::move(actions.startDisplay)](const zova::DesktopScreen& d) {
            if (std::exchange(pickerLocked, true))
                return;
            start(d);
        };
        pickerShown = true;
    }
    void unlockPicker() override { pickerLocked = false; }
    void hidePicker() override
    {
        m_log.add(QStringLiteral("hidePicker"));
        pickerShown = false;
    }
    void presentOutline() override { m_log.add(QStringLiteral("outline")); }
    void dismissOutline() override { m_log.add(QStringLiteral("dismissOutline")); }
    void presentPanel(PanelActions actions) override
    {
        m_log.add(QStringLiteral("panel"));
        panel = std::move(actions);
        panelShown = true;
    }
    bool hasPanel() const override { return panelShown; }
    void closePanel() override
    {
        m_log.add(QStringLiteral("closePanel"));
        panelShown = false;
    }

    PickerActions picker;
    PanelActions panel;
    bool pickerShown = false;
    bool pickerLocked = false;
    bool panelShown = false;

private:
    FlowLog& m_log;
};

class FakeWindowOps : public zova::AppWindowOps {
public:
    explicit FakeWindowOps(FlowLog& log)
        : m_log(log)
    {
    }
    void minimize(QWidget*) override { m_log.add(QStringLiteral("minimize")); }
    void bringToFront(QWidget*) override { m_log.add(QStringLiteral("bringToFront")); }

private:
    FlowLog& m_log;
};
