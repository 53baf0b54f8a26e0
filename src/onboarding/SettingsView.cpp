#include "onboarding/SettingsView.h"

#include "export/NarratorService.h"
#include "onboarding/LegalSettingsView.h"
#include "onboarding/VoiceSettingsView.h"
#include "style/Symbols.h"
#include "style/ZOVAColor.h"

#include <QTabWidget>
#include <QVBoxLayout>

namespace zova {

SettingsView::SettingsView(Settings& settings, std::unique_ptr<NarratorService> narrator, QWidget* parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("settingsWindow"));
    setWindowTitle(QStringLiteral("Settings"));
    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(0, 0, 0, 0);
    m_tabs = new QTabWidget(this);
    m_tabs->setDocumentMode(true);
    m_voice = new VoiceSettingsView(settings, std::move(narrator), {}, m_tabs);
    m_legal = new LegalSettingsView({}, m_tabs);
    m_tabs->addTab(m_voice, Symbols::icon(QStringLiteral("waveform"), ZOVAColor::label()), QStringLiteral("Voice"));
    m_tabs->addTab(m_legal, Symbols::icon(QStringLiteral("doc.text"), ZOVAColor::label()), QStringLiteral("Legal"));
    v->addWidget(m_tabs);
    setFixedSize(560, 480);
}

} // namespace zova
