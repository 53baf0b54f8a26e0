#pragma once

#include "export/NarratorService.h"

#include <QWidget>

#include <memory>

class QTabWidget;

namespace zova {

class LegalSettingsView;
class Settings;
class VoiceSettingsView;

// The Settings window: the tabs "Voice" and "Legal", 560 by 480, opening on Voice.
class SettingsView : public QWidget {
    Q_OBJECT
public:
    // The settings outlive the window; a null narrator is the real one.
    explicit SettingsView(
        Settings& settings, std::unique_ptr<NarratorService> narrator = {}, QWidget* parent = nullptr);

    QTabWidget* tabs() const { return m_tabs; }
    VoiceSettingsView* voice() const { return m_voice; }
    LegalSettingsView* legal() const { return m_legal; }

private:
    QTabWidget* m_tabs;
    VoiceSettingsView* m_voice;
    LegalSettingsView* m_legal;
};

} // namespace zova
