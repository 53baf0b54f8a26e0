// The file exports of ExportService: the HTML folder and the PDF.
#include "export/ExportService.h"

#include "export/ExportLog.h"
#include "export/ExportedScreenshot.h"
#include "model/Guide.h"
#include "model/StagedFiles.h"
#include "model/Step.h"
#include "model/StorageService.h"
#include "model/TemporaryFiles.h"
#include "platform/desktop/FileManager.h"
#include "platform/pdf/HtmlPdfRenderer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QHash>
#include <QPointer>
#include <QTimer>
#include <QtConcurrent>

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

ExportService::Result writeFailure(const QString& path, const QString& reason)
{
    return unexpected(
        ExportError::file(QStringLiteral("Could not write “%1”: %2").arg(QDir::toNativeSeparators(path), reason)));
}

// Writes through a private temporary file renamed over the destination, so the
// path itself is replaced: never a symbolic link's target, whatever its mode.
ExportService::Result writeAtomically(const QString& path, const QByteArray& bytes)
{
    if (auto written = TemporaryFiles::replaceFile(path, bytes); !written)
        return writeFailure(path, written.error());
    return {};
}

// The bytes of a screenshot's copy, its blur marks burned in; no value for one that
// cannot be read, which is left out as the page and the video leave it out.
std::optional<QByteArray> screenshotBytes(
    const StorageService& storage, const QString& name, const QList<StepAnnotation>& marks)
{
    const auto source = storage.pathFor(name);
    if (!source) {
        qCWarning(lcExport) << "screenshot name with folder parts left out:" << name;
        return std::nullopt;
    }
    std::optional<QByteArray> bytes;
    if (marks.isEmpty()) {
        QFile file(*source);
        if (file.open(QIODevice::ReadOnly))
            bytes = file.readAll();
        if (file.error() != QFileDevice::NoError)
            bytes.reset();
    } else {
        bytes = exportedScreenshotBytes(*source, marks);
    }
    if (!bytes)
        qCWarning(lcExport) << "unreadable screenshot left out:" << QDir::toNativeSeparators(*source);
    return bytes;
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

// Everything an HTML folder export needs, read from the records on the GUI thread.
struct FolderJob {
    const StorageService* storage;
    QString folder;
    QList<std::pair<QString, QList<StepAnnotation>>> copies;
    QByteArray page;
};

// Writes the folder; any thread, as it touches no record.
ExportService::Result writeFolder(const FolderJob& job)
{
    if (job.folder.isEmpty())
        return unexpected(ExportError::file(QStringLiteral("No folder was given for the export.")));
    if (auto made = makeFolder(job.folder); !made)
        return made;
    const QString assets = job.folder + QStringLiteral("/assets/screenshots");
    if (auto made = makeFolder(assets); !made)
        return made;

    // Every file is staged first and put in place after one sync; the page comes last.
    StagedFiles staged;
    for (const auto& [name, blurs] : job.copies) {
        const std::optional<QByteArray> bytes = screenshotBytes(*job.storage, name, blurs);
        if (!bytes)
            continue;
        const QString path = assets + QLatin1Char('/') + name;
        if (auto added = staged.add(path, *bytes); !added)
            return writeFailure(path, added.error());
    }
    const QString page = job.folder + QStringLiteral("/index.html");
    if (auto added = staged.add(page, job.page); !added)
        return writeFailure(page, added.error());
    if (auto committed = staged.commit(); !committed)
        return writeFailure(job.folder, committed.error());
    qCInfo(lcExport) << "HTML folder written:" << job.folder;
    return {};
}

} // namespace

bool ExportService::holdsFolderExport(const Guide& guide, const QString& folder)
{
    const auto occupied = [](const QString& path) {
        const QFileInfo info(path);
        return info.exists() || info.isSymLink();
    };
    if (occupied(folder + QStringLiteral("/index.html")))
        return true;
    const QString assets = folder + QStringLiteral("/assets/screenshots/");
    for (const auto& copy : screenshotCopies(guide)) {
        if (StorageService::isBareFileName(copy.first) && occupied(assets + copy.first))
            return true;
    }
    return false;
}

ExportService::Result ExportService::exportHTMLFolder(
    const Guide& guide, const QString& folder, const Options& options) const
{
    const FolderJob job { m_storage, folder, screenshotCopies(guide),
        generateHTML(guide, ImageMode::LinkedFiles, options).toUtf8() };
    const Result written = writeFolder(job);
    if (written && options.revealWhenDone)
        desktop::revealInFileManager(folder + QStringLiteral("/index.html"));
    return written;
}

void ExportService::exportHTMLFolder(
    const Guide& guide, const QString& folder, const Options& options, QObject* receiver, Completion done) const
{
    FolderJob job { m_storage, folder, screenshotCopies(guide),
        generateHTML(guide, ImageMode::LinkedFiles, options).toUtf8() };
    const bool reveal = options.revealWhenDone;
    // The watcher goes with the receiver, and the completion with it.
    auto* watcher = new QFutureWatcher<Result>(receiver ? receiver : QCoreApplication::instance());
    QObject::connect(
        watcher, &QFutureWatcher<Result>::finished, watcher, [watcher, folder, reveal, done = std::move(done)] {
            watcher->deleteLater();
            const Result written = watcher->result();
            if (written && reveal)
                desktop::revealInFileManager(folder + QStringLiteral("/index.html"));
            done(written);
        });
    watcher->setFuture(QtConcurrent::run([job = std::move(job)] { return writeFolder(job); }));
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
    const bool reveal = options.revealWhenDone;
    // The records are read here; the page is made on a worker while the browser
    // engine starts, and the engine then prints it. A receiver that goes drops the
    // rest of the export.
    pdf::renderPageToPdf(
        [page = pageOf(guide), options](const QString& folder) -> Expected<QString, QString> {
            QFile file(folder + QStringLiteral("/index.html"));
            const QByteArray html = generateHTML(page, ImageMode::Printed, options).toUtf8();
            if (!file.open(QIODevice::WriteOnly) || file.write(html) != html.size() || !file.flush())
                return unexpected(
                    QStringLiteral("Could not write the page to a temporary file: ") + file.errorString());
            return QStringLiteral("index.html");
        },
        receiver,
        [to, reveal, done = std::move(done)](const pdf::RenderResult& rendered) {
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
        },
        {}, TemporaryFiles::directory());
}

} // namespace zova
