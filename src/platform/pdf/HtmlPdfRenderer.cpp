#include "platform/pdf/HtmlPdfRenderer.h"

#include "platform/Platform.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFutureWatcher>
#include <QPageLayout>
#include <QPageRanges>
#include <QPageSize>
#include <QPointer>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QTimer>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QtConcurrent>

#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>

#include <unistd.h>

namespace zova::pdf {

namespace {

// QtWebEngine shares its GL contexts with the application's; the attribute only
// counts when set before the application object exists, hence at load time.
const bool shareContexts = [] {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    return true;
}();

// Ready once every image has settled: loaded, or failed (a missing screenshot has an
// empty source and never gets a width, so waiting on its width would wait out every
// attempt). A failed image is complete with no natural width.
const char* readinessScript = "(function () {\n"
                              "    if (document.readyState !== 'complete') return false;\n"
                              "    var imgs = Array.from(document.images);\n"
                              "    if (imgs.length === 0) return true;\n"
                              "    return imgs.every(function (i) { return i.complete; });\n"
                              "})();";

const char* measureScript = "Math.max(document.documentElement.scrollHeight, document.body.scrollHeight);";

// A page without a view has no viewport width; the root element gets the page
// width instead, which also matches the width the printer lays out at.
const char* layoutWidthScript = "document.documentElement.style.width = '1024px';";

// A page the engine loads while the real one is being written: it starts the
// engine and the page's renderer process, which the real page (same folder, same
// site) then reuses.
const char* warmUpPage = "<!DOCTYPE html><html><head><meta charset=\"UTF-8\"></head><body></body></html>";

class RenderJob : public QObject {
public:
    RenderJob(QObject* receiver, RenderCallback done, const RenderTiming& timing, const QString& workFolder = {})
        : m_folder(workFolder.isEmpty() ? QDir::tempPath() + QStringLiteral("/zova-pdf-XXXXXX")
                                        : workFolder + QStringLiteral("/pdf-XXXXXX"))
        , m_receiver(receiver)
        , m_hasReceiver(receiver != nullptr)
        , m_done(std::move(done))
        , m_timing(timing)
    {
        // Chromium refuses to start as root with its sandbox on.
        if (::geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"))
            qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
        m_profile = new QWebEngineProfile(this); // off the record: no cache or cookies on disk
        m_page = new QWebEnginePage(m_profile);
        m_page->settings()->setAttribute(QWebEngineSettings::ShowScrollBars, false);
        m_page->settings()->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
        connect(m_page, &QWebEnginePage::loadingChanged, this, &RenderJob::loadingChanged);
        connect(m_page, &QWebEnginePage::renderProcessTerminated, this,
            [this] { fail(RenderFailure::Kind::Render, QStringLiteral("the page's process ended unexpectedly")); });
        // Nobody is left to hear of the PDF: stop, and take the page's folder along.
        if (receiver)
            connect(receiver, &QObject::destroyed, this, [this] { finish(std::nullopt); });
        m_loadTimer.setSingleShot(true);
        connect(&m_loadTimer, &QTimer::timeout, this, [this] {
            fail(RenderFailure::Kind::Load,
                QStringLiteral("The page did not finish loading within %1 seconds.")
                    .arg(m_timing.loadTimeoutMs / 1000.0));
        });
        m_printTimer.setSingleShot(true);
        connect(&m_printTimer, &QTimer::timeout, this, [this] {
            fail(RenderFailure::Kind::Render,
                QStringLiteral("the page could not be printed within %1 seconds")
                    .arg(m_timing.printTimeoutMs / 1000.0));
        });
        m_clock.start();
    }

    ~RenderJob() override
    {
        delete m_page; // before its profile
    }

    void startWithWriter(PageWriter write)
    {
        if (!m_folder.isValid())
            return failLater(QStringLiteral("Could not create a temporary folder for the page."));
        const QString folder = m_folder.path();
        QFile warm(folder + QStringLiteral("/warm-up.html"));
        if (warm.open(QIODevice::WriteOnly) && warm.write(warmUpPage) > 0) {
            warm.close();
            m_warming = true;
            m_page->load(QUrl::fromLocalFile(warm.fileName()));
        }
        auto* watcher = new QFutureWatcher<Expected<QString, QString>>(this);
        connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, folder] {
            watcher->deleteLater();
            if (m_finished)
                return;
            const Expected<QString, QString> written = watcher->result();
            if (!written)
                return fail(RenderFailure::Kind::File, written.error());
            qCDebug(lcPlatform) << "PDF page written after" << m_clock.elapsed() << "ms";
            m_pageUrl = QUrl::fromLocalFile(folder + QLatin1Char('/') + *written);
            if (!m_warming)
                loadPage();
        });
        watcher->setFuture(QtConcurrent::run([write = std::move(write), folder] { return write(folder); }));
    }

    void startWithUrl(const QUrl& url)
    {
        m_pageUrl = url;
        loadPage();
    }

private:
    void loadPage()
    {
        m_loadTimer.start(m_timing.loadTimeoutMs);
        m_loading = true;
        m_page->load(m_pageUrl);
    }

    void loadingChanged(const QWebEngineLoadingInfo& info)
    {
        if (m_finished || m_loaded)
            return;
        if (m_warming) {
            // The warm-up page's own outcome does not matter; the page's does.
            if (info.status() == QWebEngineLoadingInfo::LoadStartedStatus)
                return;
            qCDebug(lcPlatform) << "PDF engine up after" << m_clock.elapsed() << "ms";
            m_warming = false;
            if (!m_pageUrl.isEmpty())
                loadPage();
            return;
        }
        if (!m_loading)
            return;
        switch (info.status()) {
        case QWebEngineLoadingInfo::LoadStartedStatus: return;
        case QWebEngineLoadingInfo::LoadSucceededStatus:
            m_loaded = true;
            m_loadTimer.stop();
            qCDebug(lcPlatform) << "PDF page loaded after" << m_clock.elapsed() << "ms";
            m_page->runJavaScript(QString::fromLatin1(layoutWidthScript));
            probeReadiness(0);
            return;
        case QWebEngineLoadingInfo::LoadStoppedStatus:
            return fail(RenderFailure::Kind::Load, QStringLiteral("The page stopped loading."));
        case QWebEngineLoadingInfo::LoadFailedStatus: return fail(RenderFailure::Kind::Load, loadErrorText(info));
        }
    }

    static QString loadErrorText(const QWebEngineLoadingInfo& info)
    {
        QString text = QStringLiteral("The page could not be loaded (error %1").arg(info.errorCode());
        if (!info.errorString().isEmpty() && !info.errorString().contains(QLatin1Char('<')))
            text += QStringLiteral(": ") + info.errorString();
        return text + QStringLiteral(").");
    }

    void probeReadiness(int attempt)
    {
        QPointer<RenderJob> self(this);
        m_page->runJavaScript(QString::fromLatin1(readinessScript), [self, attempt](const QVariant& ready) {
            if (!self || self->m_finished)
                return;
            const bool isReady = ready.typeId() == QMetaType::Bool && ready.toBool();
            if (self->m_timing.probed)
                self->m_timing.probed(isReady);
            if (self->m_finished)
                return; // dropped by what the check's listener did
            if (isReady)
                return self->measure();
            QTimer::singleShot(self->m_timing.readinessIntervalMs, self, [self, attempt] {
                if (!self || self->m_finished)
                    return;
                if (attempt + 1 >= self->m_timing.readinessAttempts)
                    self->measure();
                else
                    self->probeReadiness(attempt + 1);
            });
        });
    }

    void measure()
    {
        QPointer<RenderJob> self(this);
        m_page->runJavaScript(QString::fromLatin1(measureScript), [self](const QVariant& value) {
            if (!self || self->m_finished)
                return;
            const double pageHeight = pageHeightPx(value);
            qCDebug(lcPlatform) << "PDF page ready and measured after" << self->m_clock.elapsed() << "ms:" << value;
            QTimer::singleShot(self->m_timing.settleMs, self, [self, pageHeight] {
                if (self && !self->m_finished)
                    self->print(pageHeight);
            });
        });
    }

    void print(double pageHeight)
    {
        const QPageLayout layout(QPageSize(pdfPageSize(pageHeight), QPageSize::Point, QString(), QPageSize::ExactMatch),
            QPageLayout::Portrait, QMarginsF(0, 0, 0, 0));
        QPointer<RenderJob> self(this);
        m_printTimer.start(m_timing.printTimeoutMs);
        m_printing = true;
        m_page->printToPdf(
            [self](const QByteArray& pdf) {
                if (!self)
                    return;
                self->m_printing = false;
                if (self->m_finished)
                    return self->deleteLater(); // kept until now: see finish()

                if (pdf.isEmpty())
                    return self->fail(RenderFailure::Kind::Render, QStringLiteral("the page could not be printed"));
                qCDebug(lcPlatform) << "PDF printed after" << self->m_clock.elapsed() << "ms," << pdf.size() << "bytes";
                self->finish(pdf);
            },
            layout);
    }

    // The caller hears of a failure only after the call that started the job.
    void failLater(const QString& message)
    {
        QTimer::singleShot(0, this, [this, message] { fail(RenderFailure::Kind::File, message); });
    }

    void fail(RenderFailure::Kind kind, const QString& message) { finish(unexpected(RenderFailure { kind, message })); }

    // Ends the job once, with a result for the caller or with none when the
    // caller is gone.
    void finish(const std::optional<RenderResult>& result)
    {
        if (m_finished)
            return;
        m_finished = true;
        m_loadTimer.stop();
        m_printTimer.stop();
        disconnect(m_page, nullptr, this, nullptr);
        // The page is in the engine's memory by now: its files go at once, also
        // when the printer still holds the page below.
        m_folder.remove();
        if (result && (!m_hasReceiver || m_receiver))
            m_done(*result);
        // Chromium aborts when a page goes while it prints; a job that gave up waiting
        // for the printer stays until the printer answers.
        if (!m_printing)
            deleteLater();
    }

    QTemporaryDir m_folder;
    QPointer<QObject> m_receiver;
    bool m_hasReceiver;
    RenderCallback m_done;
    RenderTiming m_timing;
    QWebEngineProfile* m_profile = nullptr;
    QWebEnginePage* m_page = nullptr;
    QTimer m_loadTimer;
    QTimer m_printTimer;
    QElapsedTimer m_clock;
    QUrl m_pageUrl; // empty until the page is written
    bool m_warming = false; // the warm-up page is loading
    bool m_loading = false; // the page itself is loading
    bool m_loaded = false;
    bool m_finished = false;
    bool m_printing = false;
};

} // namespace

double pageHeightPx(const QVariant& measured)
{
    double height = minimumPageHeightPx;
    switch (measured.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::Double: height = measured.toDouble(); break;
    default: break;
    }
    if (!std::isfinite(height))
        height = minimumPageHeightPx;
    return std::max(std::ceil(height), double(minimumPageHeightPx));
}

QSizeF pdfPageSize(double contentHeightPx)
{
    // Chromium prints 96 CSS px to the inch; the two extra px keep the last line
    // from spilling onto a second page.
    return QSizeF(pageWidthPx * 0.75, 0.75 * (contentHeightPx + 2));
}

void renderPageToPdf(
    PageWriter write, QObject* receiver, RenderCallback done, const RenderTiming& timing, const QString& workFolder)
{
    (void)shareContexts;
    auto* job = new RenderJob(receiver, std::move(done), timing, workFolder);
    job->startWithWriter(std::move(write));
}

void renderHtmlToPdf(
    const QString& html, QObject* receiver, RenderCallback done, const RenderTiming& timing, const QString& workFolder)
{
    renderPageToPdf(
        [html](const QString& folder) -> Expected<QString, QString> {
            QSaveFile file(folder + QStringLiteral("/index.html"));
            if (!file.open(QIODevice::WriteOnly) || file.write(html.toUtf8()) < 0 || !file.commit())
                return unexpected(
                    QStringLiteral("Could not write the page to a temporary file: ") + file.errorString());
            return QStringLiteral("index.html");
        },
        receiver, std::move(done), timing, workFolder);
}

void renderUrlToPdf(const QUrl& url, QObject* receiver, RenderCallback done, const RenderTiming& timing)
{
    (void)shareContexts;
    auto* job = new RenderJob(receiver, std::move(done), timing);
    job->startWithUrl(url);
}

} // namespace zova::pdf
