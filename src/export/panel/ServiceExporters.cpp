#include "export/panel/ServiceExporters.h"

namespace zova {

ServiceExporters::ServiceExporters(const Settings& settings, const StorageService& storage)
    : m_service(storage)
    , m_videoService(std::make_unique<VideoExportService>(settings, storage))
{
}

ServiceExporters::~ServiceExporters() = default;

void ServiceExporters::exportHTMLFolder(const Guide& guide, const QString& folder,
    const ExportService::Options& options, QObject* receiver, ExportService::Completion done)
{
    m_service.exportHTMLFolder(guide, folder, options, receiver, std::move(done));
}

void ServiceExporters::exportPDF(const Guide& guide, const QString& to, const ExportService::Options& options,
    QObject* receiver, ExportService::Completion done)
{
    m_service.exportPDF(guide, to, options, receiver, std::move(done));
}

void ServiceExporters::exportMP4(
    Guide* guide, const QString& to, const VideoExportService::Options& options, VideoExportService::Completion done)
{
    m_videoService->exportMP4(guide, to, options, std::move(done));
}

} // namespace zova
