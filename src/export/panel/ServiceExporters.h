#pragma once

#include "export/panel/Exporters.h"

#include <memory>

namespace zova {

class Settings;

// The real exporters: one ExportService and one VideoExportService.
class ServiceExporters : public Exporters {
public:
    explicit ServiceExporters(const Settings& settings);
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
