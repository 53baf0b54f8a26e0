#pragma once

#include "base/Expected.h"
#include "export/ExportError.h"
#include "model/StepAnnotation.h"

#include <QList>
#include <QString>

#include <functional>

class QObject;

namespace zova {

class Guide;
class StorageService;

// Writes a guide as one self-contained HTML page, as an HTML folder and as a
// single-page PDF rendered from the same page. Holds no state but the screenshot
// folder it reads; use it on the GUI thread, since it reads the records.
class ExportService {
public:
    // The screenshots are those of `storage`, which outlives this object.
    explicit ExportService(const StorageService& storage);

    struct Options {
        bool includeFooter = true;
        // Six hex digits without "#", put into the stylesheet as given.
        QString themeAccentHex = QStringLiteral("ff3d8a");
        // Show the written file in the file manager afterwards.
        bool revealWhenDone = false;
    };

    // Linked files refer to assets/screenshots/NAME; embedded pages carry each
    // screenshot as a PNG data URL. A printed page is an embedded one made for the PDF
    // printer: screenshots as fine JPEG data URLs, blurred shadows as sharp layers.
    enum class ImageMode { LinkedFiles, Embedded, Printed };

    using Result = Expected<void, ExportError>;
    using Completion = std::function<void(const Result&)>;

    // The address the page footer links to.
    static const QString productLink;

    // What the page shows of a guide's records, read on the GUI thread; the page is
    // then made from it on any thread.
    struct PageStep {
        qint64 order = 0;
        QString screenshotFilename;
        // The file in the screenshot folder; empty for a name that is not bare.
        QString screenshotPath;
        QString description;
        double clickX = 0;
        double clickY = 0;
        QList<StepAnnotation> annotations;
    };
    struct Page {
        QString title;
        QList<PageStep> steps; // in step order
    };
    Page pageOf(const Guide& guide) const;

    // The whole page. Never fails: a screenshot that cannot be read in embedded
    // mode gets an empty image source. Embedding redacts each screenshot's blur
    // marks, which takes a while for large screenshots.
    QString generateHTML(const Guide& guide, ImageMode mode, const Options& options) const;
    static QString generateHTML(const Page& page, ImageMode mode, const Options& options);

    // True when the folder already holds a file that the HTML folder export of the
    // guide would replace: its index.html, or a screenshot copy of the same name.
    static bool holdsFolderExport(const Guide& guide, const QString& folder);

    // Writes index.html and assets/screenshots into the folder (created as needed);
    // other files in it stay. Runs synchronously.
    Result exportHTMLFolder(const Guide& guide, const QString& folder, const Options& options) const;
    // The same, returning at once: the records are read now, the screenshots
    // redacted and the files written on a worker thread. `done` runs later on the
    // GUI thread, unless `receiver` is gone by then.
    void exportHTMLFolder(
        const Guide& guide, const QString& folder, const Options& options, QObject* receiver, Completion done) const;

    // Renders the embedded page into the PDF file at `to`. Returns at once: the
    // records are read now, the page made on a worker thread while the browser
    // engine starts. `done` runs later on the GUI thread; when `receiver` goes first,
    // the export stops and `done` never runs. An earlier file at `to` is replaced
    // only by a complete PDF; the page's temporary files go when the export ends.
    void exportPDF(
        const Guide& guide, const QString& to, const Options& options, QObject* receiver, Completion done) const;

private:
    static QString renderStep(const PageStep& step, ImageMode mode);
    static QString renderAnnotation(const StepAnnotation& annotation);
    static QString stylesheet(const QString& accentHex);

    const StorageService* m_storage;
};

} // namespace zova
