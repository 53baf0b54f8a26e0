#include "platform/pdf/HtmlPdfRenderer.h"

#include "platform/Platform.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
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

#include <algorithm>
#include <cmath>
#include <memory>
#include <unistd.h>

namespace zova::pdf {

namespace {

// QtWebEngine shares its GL contexts with the application's; the attribute only
// counts when set before the application object exists, hence at load time.
const bool shareContexts = [] {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    return true;
}();

const char* readinessScript = "(function () {\n"
                              "    if (document.readyState !== 'complete') return false;\n"
                              "    var imgs = Array.from(document.images);\n"
                              "    if (imgs.length === 0) return true;\n"
                              "    return imgs.every(function (i) { return i.complete && i.naturalWidth > 0; });\n"
                              "})();";

const char* measureScript = "Math.max(document.documentElement.scrollHeight, document.body.scrollHeight);";

// A page without a view has no viewport width; the root element gets the page
// width instead, which also matches the width the printer lays out at.
const char* layoutWidthScript = "document.documentElement.style.width = '1024px';";

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
    }

    ~RenderJob() override
    {
        delete m_page; // before its profile
    }

    void startWithHtml(const QString& html)
    {
        if (!m_folder.isValid())
            return failLater(QStringLiteral("Could not create a temporary folder for the page."));
        QSaveFile file(m_folder.filePath(QStringLiteral("index.html")));
        if (!file.open(QIODevice::WriteOnly) || file.write(html.toUtf8()) < 0 || !file.commit())
            return failLater(QStringLiteral("Could not write the page to a temporary file: ") + file.errorString());
        startWithUrl(QUrl::fromLocalFile(file.fileName()));
    }

    void startWithUrl(const QUrl& url)
    {
        m_clock.start();
        m_loadTimer.start(m_timing.loadTimeoutMs);
        m_page->load(url);
    }

private:
    void loadingChanged(const QWebEngineLoadingInfo& info)
    {
        if (m_finished || m_loaded)
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
            if (ready.typeId() == QMetaType::Bool && ready.toBool())
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

    void finish(const RenderResult& result)
    {
        if (m_finished)
            return;
        m_finished = true;
        m_loadTimer.stop();
        m_printTimer.stop();
        disconnect(m_page, nullptr, this, nullptr);
        if (!m_hasReceiver || m_receiver)
            m_done(result);
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

void renderHtmlToPdf(
    const QString& html, QObject* receiver, RenderCallback done, const RenderTiming& timing, const QString& workFolder)
{
    (void)shareContexts;
    auto* job = new RenderJob(receiver, std::move(done), timing, workFolder);
    job->startWithHtml(html);
}

void renderUrlToPdf(const QUrl& url, QObject* receiver, RenderCallback done, const RenderTiming& timing)
{
    (void)shareContexts;
    auto* job = new RenderJob(receiver, std::move(done), timing);
    job->startWithUrl(url);
}

} // namespace zova::pdf
