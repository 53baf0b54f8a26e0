#pragma once

#include "export/ExportService.h"
#include "export/VideoExportOptions.h"
#include "export/panel/ExportFormat.h"
#include "export/panel/ExportTarget.h"

#include <QObject>
#include <QString>

#include <memory>
#include <optional>

namespace zova {

class DestinationPicker;
class Exporters;
struct DestinationRequest;

// The state of an export panel and its export run: the chosen format and options,
// whether an export runs, and the status line. Every setter notifies only on a
// real change. GUI thread only.
class ExportRun : public QObject {
    Q_OBJECT
public:
    ExportRun(Guide* guide, std::shared_ptr<DestinationPicker> picker, std::unique_ptr<Exporters> exporters,
        QObject* parent = nullptr);
    // Drops the exporters (and with them any export still running) first, so no
    // completion reaches a half-destroyed run.
    ~ExportRun() override;

    const ExportTarget& target() const { return m_target; }
    ExportFormat selectedFormat() const { return m_selectedFormat; }
    bool includeFooter() const { return m_includeFooter; }
    bool revealWhenDone() const { return m_revealWhenDone; }
    bool narrateVideo() const { return m_narrateVideo; }
    bool isExporting() const { return m_isExporting; }
    // No status line while this holds nothing.
    std::optional<QString> statusMessage() const { return m_statusMessage; }
    bool didFail() const { return m_didFail; }

    void setSelectedFormat(ExportFormat format);
    void setIncludeFooter(bool on);
    void setRevealWhenDone(bool on);
    void setNarrateVideo(bool on);

    // Asks for a destination for the selected format, then exports there and puts
    // the outcome in the status line. Returns once the destination was answered;
    // the PDF and the video finish later. Does nothing while an export runs.
    void runExport();

    // The settings every run passes to the HTML and PDF exporters.
    ExportService::Options exportOptions() const;
    // The video settings built from a run's export settings, with narration as set now.
    VideoExportOptions videoOptions(const ExportService::Options& options);

signals:
    void selectedFormatChanged();
    void includeFooterChanged();
    void revealWhenDoneChanged();
    void narrateVideoChanged();
    void isExportingChanged();
    void statusChanged();

private:
    std::optional<QString> pick(const DestinationRequest& request);
    // True when the user agrees to replace `name`; the run may be gone afterwards.
    bool confirmReplace(const QString& name);
    // The name to ask about when the destination already holds what this export
    // writes: the page or a screenshot copy of an HTML folder, the PDF or MP4 file, or
    // for HTML + PDF the folder or the file of the slug.
    std::optional<QString> earlierExport(const Guide& guide, const QString& destination, const QString& slug) const;
    void exportHtml(Guide* guide, const QString& folder, const ExportService::Options& options);
    void exportPdf(Guide* guide, const QString& file, const ExportService::Options& options);
    void exportVideo(Guide* guide, const QString& file, const ExportService::Options& options);
    void exportBoth(Guide* guide, const QString& parent, const QString& slug, const ExportService::Options& options);
    void setExporting(bool on);
    void setStatus(const std::optional<QString>& message, bool failed);
    void succeed(const QString& message);
    void fail(const QString& message);

    ExportTarget m_target;
    std::shared_ptr<DestinationPicker> m_picker;
    std::unique_ptr<Exporters> m_exporters;
    ExportFormat m_selectedFormat = ExportFormat::Html;
    bool m_includeFooter = true;
    bool m_revealWhenDone = true;
    bool m_narrateVideo = true;
    bool m_isExporting = false;
    bool m_choosing = false; // a destination dialog is up
    std::optional<QString> m_statusMessage;
    bool m_didFail = false;
};

// The last path component of a destination, as the user named it.
QString destinationName(const QString& path);

} // namespace zova
