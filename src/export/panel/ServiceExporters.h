#pragma once

#include "export/panel/Exporters.h"

#include <memory>

namespace zova {

class Settings;
class StorageService;

// The real exporters: one ExportService and one VideoExportService.
class ServiceExporters : public Exporters {
public:
    // Both outlive this object.
    ServiceExporters(const Settings& settings, const StorageService& storage);
    ~ServiceExporters() override;

    void exportHTMLFolder(const Guide& guide, const QString& folder, const ExportService::Options& options,
        QObject* receiver, ExportService::Completion done) override;
    void exportPDF(const Guide& guide, const QString& to, const ExportService::Options& options, QObject* receiver,
        ExportService::Completion done) override;
    void exportMP4(Guide* guide, const QString& to, const VideoExportService::Options& options,
        VideoExportService::Completion done) override;

private:
    ExportService m_service;
    std::unique_ptr<VideoExportService> m_videoService;
};

} // namespace zova
