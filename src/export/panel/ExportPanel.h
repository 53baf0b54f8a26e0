#pragma once

#include "export/NarratorService.h"
#include "export/panel/DestinationPicker.h"
#include "export/panel/ExportFormat.h"
#include "export/panel/Exporters.h"
#include "style/Overlay.h"

#include <QMap>

#include <functional>
#include <memory>

namespace zova {

class CloseButton;
class ExportButton;
class ExportRun;
class FormatCard;
class GlassCard;
class Guide;
class OptionSwitch;
class PillButton;
class Settings;
class StorageService;
class StatusLine;
class TextLine;

// The export panel for one guide, laid over its host widget: a dimmed backdrop
// filling the host and a centred card with the formats, the options, the status
// line, Cancel and the export button. It never hides or deletes itself: every way
// out (close button, Cancel, a tap on the backdrop) calls onDismiss, and none is
// open while an export runs. Deleting the panel (or its host) during an export is
// safe; the export's result is then dropped.
class ExportPanel : public Overlay {
    Q_OBJECT
public:
    // What the panel works with; anything left empty is the real one, reading the
    // narrator voice from the settings.
    struct Dependencies {
        std::shared_ptr<DestinationPicker> picker;
        std::unique_ptr<Exporters> exporters;
        std::unique_ptr<NarratorService> narrator;
    };

    // The real exporters read the screenshots of `storage`; it and the settings outlive the panel.
    ExportPanel(Guide* guide, std::function<void()> onDismiss, const Settings& settings, const StorageService& storage,
        QWidget* host);
    ExportPanel(Guide* guide, std::function<void()> onDismiss, const Settings& settings, const StorageService& storage,
        Dependencies dependencies, QWidget* host);
    ~ExportPanel() override;

    ExportRun* run() const { return m_run.get(); }
    NarratorService* narrator() const { return m_narrator; }

    // "Narrated by NAME · change in Settings → Voice", or the no-voice text.
    static QString narratorLine(const NarratorService& narrator);

    // The parts, for hosts' and tests' eyes.
    TextLine* titleLabel() const { return m_title; }
    TextLine* subtitleLabel() const { return m_subtitle; }
    CloseButton* closeButton() const { return m_close; }
    FormatCard* formatCard(ExportFormat format) const { return m_cards.value(format); }
    OptionSwitch* footerSwitch() const { return m_footerSwitch; }
    OptionSwitch* revealSwitch() const { return m_revealSwitch; }
    OptionSwitch* narrationSwitch() const { return m_narrationSwitch; }
    StatusLine* statusLine() const { return m_status; }
    PillButton* cancelButton() const { return m_cancel; }
    ExportButton* exportButton() const { return m_export; }
    GlassCard* card() const { return m_card; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* buildHeader();
    QWidget* buildFormatPicker();
    QWidget* buildOptions();
    QWidget* buildFooter();
    void refreshTexts();
    void refreshFormat();
    void refreshExporting();
    void refreshStatus();

    std::function<void()> m_onDismiss;
    NarratorService* m_narrator = nullptr;
    std::unique_ptr<ExportRun> m_run;

    GlassCard* m_card = nullptr;
    TextLine* m_title = nullptr;
    TextLine* m_subtitle = nullptr;
    CloseButton* m_close = nullptr;
    QMap<ExportFormat, FormatCard*> m_cards;
    OptionSwitch* m_footerSwitch = nullptr;
    OptionSwitch* m_revealSwitch = nullptr;
    OptionSwitch* m_narrationSwitch = nullptr;
    StatusLine* m_status = nullptr;
    PillButton* m_cancel = nullptr;
    ExportButton* m_export = nullptr;
};

} // namespace zova
