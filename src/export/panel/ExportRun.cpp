#include "export/panel/ExportRun.h"

#include "base/NotifyingProperty.h"
#include "export/ExportLog.h"
#include "export/panel/DestinationPicker.h"
#include "export/panel/ExportSlug.h"
#include "export/panel/Exporters.h"
#include "model/Guide.h"

#include <QDir>
#include <QFileInfo>
#include <QPointer>

namespace zova {

namespace {

const QString accentHex = QStringLiteral("ff3d8a");

} // namespace

// The last part of the path; the root folder, which has none, by its path.
QString destinationName(const QString& path)
{
    const QString clean = QDir::cleanPath(path);
    const QString name = QFileInfo(clean).fileName();
    return name.isEmpty() ? clean : name;
}

ExportRun::ExportRun(
    Guide* guide, std::shared_ptr<DestinationPicker> picker, std::unique_ptr<Exporters> exporters, QObject* parent)
    : QObject(parent)
    , m_target(guide)
    , m_picker(std::move(picker))
    , m_exporters(std::move(exporters))
{
}

ExportRun::~ExportRun() { m_exporters.reset(); }

void ExportRun::setSelectedFormat(ExportFormat format)
{
    setNotifying(this, m_selectedFormat, format, &ExportRun::selectedFormatChanged);
}

void ExportRun::setIncludeFooter(bool on) { setNotifying(this, m_includeFooter, on, &ExportRun::includeFooterChanged); }

void ExportRun::setRevealWhenDone(bool on)
{
    setNotifying(this, m_revealWhenDone, on, &ExportRun::revealWhenDoneChanged);
}

void ExportRun::setNarrateVideo(bool on) { setNotifying(this, m_narrateVideo, on, &ExportRun::narrateVideoChanged); }

void ExportRun::setExporting(bool on) { setNotifying(this, m_isExporting, on, &ExportRun::isExportingChanged); }

void ExportRun::setStatus(const std::optional<QString>& message, bool failed)
{
    if (m_statusMessage == message && m_didFail == failed)
        return;
    m_statusMessage = message;
    m_didFail = failed;
    emit statusChanged();
}

void ExportRun::succeed(const QString& message)
{
    setStatus(message, false);
    setExporting(false);
}

void ExportRun::fail(const QString& message)
{
    qCWarning(lcExport) << "export failed:" << message;
    setStatus(message, true);
    setExporting(false);
}

ExportService::Options ExportRun::exportOptions() const
{
    ExportService::Options options;
    options.includeFooter = m_includeFooter;
    options.themeAccentHex = accentHex;
    options.revealWhenDone = m_revealWhenDone;
    return options;
}

VideoExportOptions ExportRun::videoOptions(const ExportService::Options& options)
{
    VideoExportOptions video;
    video.width = 1920;
    video.height = 1080;
    video.fps = 30;
    video.minSecondsPerStep = 3.0;
    video.tailSecondsAfterNarration = 0.5;
    video.revealWhenDone = options.revealWhenDone;
    video.themeAccentHex = options.themeAccentHex;
    video.narrateSteps = m_narrateVideo;
    QPointer<ExportRun> self(this);
    video.progress = [self](const QString& message) {
        if (self && self->m_isExporting)
            self->setStatus(message, false);
    };
    video.synthesisTimeoutSeconds = 30.0;
    return video;
}

std::optional<QString> ExportRun::pick(const DestinationRequest& request)
{
    // The picker is held here too: the run may be deleted while the dialog is up.
    const std::shared_ptr<DestinationPicker> picker = m_picker;
    QPointer<ExportRun> self(this);
    m_choosing = true;
    std::optional<QString> path = picker->pick(request);
    if (!self)
        return std::nullopt;
    m_choosing = false;
    return path;
}

bool ExportRun::confirmReplace(const QString& name)
{
    // As for pick(): the run may be deleted while the alert is up.
    const std::shared_ptr<DestinationPicker> picker = m_picker;
    QPointer<ExportRun> self(this);
    m_choosing = true;
    const bool replace = picker->confirmReplace(name);
    if (self)
        m_choosing = false;
    return replace;
}

std::optional<QString> ExportRun::earlierExport(
    const Guide& guide, const QString& destination, const QString& slug) const
{
    const auto occupied = [](const QString& path) {
        const QFileInfo info(path);
        return info.exists() || info.isSymLink();
    };
    switch (m_selectedFormat) {
    case ExportFormat::Html:
        if (ExportService::holdsFolderExport(guide, destination))
            return destinationName(destination);
        return std::nullopt;
    case ExportFormat::Pdf:
    case ExportFormat::Video:
        if (occupied(destination))
            return destinationName(destination);
        return std::nullopt;
    case ExportFormat::Both: {
        const QDir dir(destination);
        if (occupied(dir.filePath(slug)) || occupied(dir.filePath(slug + QStringLiteral(".pdf"))))
            return slug;
        return std::nullopt;
    }
    }
    return std::nullopt;
}

void ExportRun::runExport()
{
    if (m_isExporting || m_choosing)
        return;
    setStatus(std::nullopt, false);
    const ExportService::Options options = exportOptions();
    Guide* guide = m_target.guide();
    if (!guide || guide->isDeleted()) {
        fail(QStringLiteral("The guide was deleted before the export started."));
        return;
    }
    const QString slug = slugFor(guide->title());
    QPointer<ExportRun> self(this);
    QPointer<Guide> guarded(guide);

    std::optional<QString> destination;
    switch (m_selectedFormat) {
    case ExportFormat::Html: destination = pick(DestinationRequest::saveFolder(slug)); break;
    case ExportFormat::Pdf: destination = pick(DestinationRequest::saveFile(QStringLiteral("pdf"), slug)); break;
    case ExportFormat::Video: destination = pick(DestinationRequest::saveFile(QStringLiteral("mp4"), slug)); break;
    case ExportFormat::Both: destination = pick(DestinationRequest::parentFolder()); break;
    }
    if (!self || !destination)
        return;
    if (!guarded || guide->isDeleted()) {
        fail(QStringLiteral("The guide was deleted before the export started."));
        return;
    }
    if (const std::optional<QString> earlier = earlierExport(*guide, *destination, slug)) {
        const bool replace = confirmReplace(*earlier);
        if (!self || !replace)
            return;
        if (!guarded || guide->isDeleted()) {
            fail(QStringLiteral("The guide was deleted before the export started."));
            return;
        }
    }

    switch (m_selectedFormat) {
    case ExportFormat::Html: exportHtml(guide, *destination, options); break;
    case ExportFormat::Pdf: exportPdf(guide, *destination, options); break;
    case ExportFormat::Video: exportVideo(guide, *destination, options); break;
    case ExportFormat::Both: exportBoth(guide, *destination, slug, options); break;
    }
}

void ExportRun::exportHtml(Guide* guide, const QString& folder, const ExportService::Options& options)
{
    setExporting(true);
    QPointer<ExportRun> self(this);
    m_exporters->exportHTMLFolder(*guide, folder, options, this, [self, folder](const ExportService::Result& written) {
        if (!self)
            return;
        if (!written)
            return self->fail(written.error().description());
        self->succeed(QStringLiteral("HTML folder written to ") + destinationName(folder));
    });
}

void ExportRun::exportPdf(Guide* guide, const QString& file, const ExportService::Options& options)
{
    setExporting(true);
    QPointer<ExportRun> self(this);
    m_exporters->exportPDF(*guide, file, options, this, [self, file](const ExportService::Result& written) {
        if (!self)
            return;
        if (!written)
            return self->fail(written.error().description());
        self->succeed(QStringLiteral("PDF saved as ") + destinationName(file));
    });
}

void ExportRun::exportVideo(Guide* guide, const QString& file, const ExportService::Options& options)
{
    setExporting(true);
    QPointer<ExportRun> self(this);
    m_exporters->exportMP4(guide, file, videoOptions(options), [self, file](const VideoExportService::Result& written) {
        if (!self)
            return;
        if (!written)
            return self->fail(written.error().description());
        self->succeed(QStringLiteral("Video saved as ") + destinationName(file));
    });
}

void ExportRun::exportBoth(
    Guide* guide, const QString& parent, const QString& slug, const ExportService::Options& options)
{
    const QDir dir(parent);
    const QString folder = dir.filePath(slug);
    const QString file = dir.filePath(slug + QStringLiteral(".pdf"));
    setExporting(true);
    QPointer<ExportRun> self(this);
    QPointer<Guide> guarded(guide);
    const QString parentName = destinationName(parent);
    m_exporters->exportHTMLFolder(
        *guide, folder, options, this, [self, guarded, file, options, parentName](const ExportService::Result& html) {
            if (!self)
                return;
            if (!html)
                return self->fail(html.error().description());
            if (!guarded || guarded->isDeleted())
                return self->fail(QStringLiteral("The guide was deleted before the PDF was made."));
            self->m_exporters->exportPDF(
                *guarded, file, options, self, [self, parentName](const ExportService::Result& written) {
                    if (!self)
                        return;
                    if (!written)
                        return self->fail(written.error().description());
                    self->succeed(QStringLiteral("Exported HTML folder + PDF to ") + parentName);
                });
        });
}

} // namespace zova
