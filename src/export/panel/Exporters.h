#pragma once

#include "export/ExportService.h"
#include "export/VideoExportService.h"

class QObject;

namespace zova {

class Guide;

// The three exporters the export panel calls, one at a time, on the GUI thread.
class Exporters {
public:
    virtual ~Exporters() = default;

    // Returns at once; `done` runs later on the GUI thread unless `receiver` is gone.
    virtual void exportHTMLFolder(const Guide& guide, const QString& folder, const ExportService::Options& options,
        QObject* receiver, ExportService::Completion done)
        = 0;
    // Returns at once; `done` runs later on the GUI thread unless `receiver` is gone.
    virtual void exportPDF(const Guide& guide, const QString& to, const ExportService::Options& options,
        QObject* receiver, ExportService::Completion done)
        = 0;
    // Returns at once; progress texts reach options.progress, then `done` runs once
    // later on the GUI thread. Neither runs after this object is destroyed.
    virtual void exportMP4(Guide* guide, const QString& to, const VideoExportService::Options& options,
        VideoExportService::Completion done)
        = 0;
};

} // namespace zova
