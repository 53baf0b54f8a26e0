// The file exports of ExportService: the HTML folder and the PDF.
#include "export/ExportService.h"

#include "export/ExportLog.h"
#include "export/ExportedScreenshot.h"
#include "model/Guide.h"
#include "model/Step.h"
#include "model/StorageService.h"
#include "platform/desktop/FileManager.h"
#include "platform/pdf/HtmlPdfRenderer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSaveFile>
#include <QTimer>

#include <filesystem>
#include <system_error>

namespace zova {

namespace {

ExportService::Result makeFolder(const QString& path)
{
    std::error_code ec;
    const std::filesystem::path p(path.toStdString());
    std::filesystem::create_directories(p, ec);
    if (!ec && !std::filesystem::is_directory(p, ec) && !ec)
        ec = std::make_error_code(std::errc::not_a_directory);
    if (ec)
        return unexpected(
            ExportError::file(QStringLiteral("Could not create the folder “%1”: %2")
                                  .arg(QDir::toNativeSeparators(path), QString::fromLocal8Bit(ec.message()))));
    return {};
}

// Writes through a temporary file that replaces the destination only when complete.
ExportService::Result writeAtomically(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return unexpected(
            ExportError::file(QStringLiteral("Could not write “%1”: %2").arg(QDir::toNativeSeparators(path), reason)));
    }
    return {};
}

ExportService::Result copyScreenshot(const QString& name, const QList<StepAnnotation>& marks, const QString& folder)
{
    const auto source = StorageService::shared().pathFor(name);
    if (!source)
        return unexpected(
            ExportError::file(QStringLiteral("The screenshot name “%1” is not a plain file name.").arg(name)));
    const QString destination = folder + QLatin1Char('/') + name;
    if (QFileInfo::exists(destination) || QFileInfo(destination).isSymLink())
        QFile::remove(destination); // a failure shows up in the copy

    if (marks.isEmpty()) {
        QFile file(*source);
        if (!file.copy(destination))
            return unexpected(ExportError::file(QStringLiteral("Could not copy the screenshot “%1”: %2")
                                                    .arg(QDir::toNativeSeparators(*source), file.errorString())));
        return {};
    }
    const auto blurred = exportedScreenshotBytes(name, marks);
    if (!blurred)
        return unexpected(ExportError::file(
            QStringLiteral("Could not read the screenshot “%1”.").arg(QDir::toNativeSeparators(*source))));
    return writeAtomically(destination, *blurred);
}

// The screenshot files to copy, in step order, each once with the blur marks of
// every step that shows it: a file shared by two steps keeps both steps' marks.
QList<std::pair<QString, QList<StepAnnotation>>> screenshotCopies(const Guide& guide)
{
    QList<std::pair<QString, QList<StepAnnotation>>> copies;
    QHash<QString, qsizetype> index;
    for (const Step* step : guide.orderedSteps()) {
        const QString name = step->screenshotFilename();
        if (name.isEmpty())
            continue; // nothing to copy
        auto it = index.constFind(name);
        if (it == index.cend()) {
            it = index.insert(name, copies.size());
            copies.append({ name, {} });
        }
        for (const StepAnnotation& a : step->annotations())
            if (a.kind == StepAnnotation::Kind::Blur)
                copies[*it].second.append(a);
    }
    return copies;
}

} // namespace

ExportService::Result ExportService::exportHTMLFolder(
    const Guide& guide, const QString& folder, const Options& options) const
{
    if (folder.isEmpty())
        return unexpected(ExportError::file(QStringLiteral("No folder was given for the export.")));
    if (auto made = makeFolder(folder); !made)
        return made;
    const QString assets = folder + QStringLiteral("/assets/screenshots");
    if (auto made = makeFolder(assets); !made)
        return made;

    for (const auto& [name, blurs] : screenshotCopies(guide)) {
        if (auto copied = copyScreenshot(name, blurs, assets); !copied)
            return copied;
    }

    const QString index = folder + QStringLiteral("/index.html");
    if (auto written = writeAtomically(index, generateHTML(guide, ImageMode::LinkedFiles, options).toUtf8()); !written)
        return written;
    qCInfo(lcExport) << "HTML folder written:" << folder;
    if (options.revealWhenDone)
        desktop::revealInFileManager(index);
    return {};
}

void ExportService::exportPDF(
    const Guide& guide, const QString& to, const Options& options, QObject* receiver, Completion done) const
{
    if (to.isEmpty()) {
        // Reported later all the same: callers always hear back after the call.
        QTimer::singleShot(0, receiver ? receiver : QCoreApplication::instance(), [done = std::move(done)] {
            done(unexpected(ExportError::file(QStringLiteral("No file was given for the PDF."))));
        });
        return;
    }
    const QString html = generateHTML(guide, ImageMode::Embedded, options);
    const bool reveal = options.revealWhenDone;
    pdf::renderHtmlToPdf(html, receiver, [to, reveal, done = std::move(done)](const pdf::RenderResult& rendered) {
        if (!rendered) {
            const pdf::RenderFailure& f = rendered.error();
            switch (f.kind) {
            case pdf::RenderFailure::Kind::File: return done(unexpected(ExportError::file(f.message)));
            case pdf::RenderFailure::Kind::Load: return done(unexpected(ExportError::load(f.message)));
            case pdf::RenderFailure::Kind::Render: return done(unexpected(ExportError::pdfRenderFailed(f.message)));
            }
        }
        if (auto written = writeAtomically(to, rendered.value()); !written)
            return done(written);
        qCInfo(lcExport) << "PDF written:" << to;
        if (reveal)
            desktop::revealInFileManager(to);
        done({});
    });
}

} // namespace zova
