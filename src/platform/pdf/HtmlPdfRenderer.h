#pragma once

#include "base/Expected.h"

#include <QByteArray>
#include <QSizeF>
#include <QString>
#include <QUrl>
#include <QVariant>

#include <functional>

class QObject;

namespace zova::pdf {

struct RenderFailure {
    enum class Kind {
        File, // the page could not be written to its temporary folder
        Load, // the page did not load, or not within the load time-out
        Render, // the page process ended or printing gave no PDF
    };
    Kind kind = Kind::Render;
    QString message;
};

struct RenderTiming {
    int loadTimeoutMs = 60000;
    int readinessAttempts = 50;
    int readinessIntervalMs = 200;
    int settleMs = 100;
    // A page the printer never finishes (Chromium gives up silently on some) fails.
    int printTimeoutMs = 300000;
    // Told the answer of each readiness check, in order; may be empty.
    std::function<void(bool ready)> probed;
};

using RenderResult = Expected<QByteArray, RenderFailure>;
using RenderCallback = std::function<void(const RenderResult&)>;

// Writes a page, and whatever it refers to, into the empty folder it is given and
// returns the page's file name there; or the reason it could not. Runs on a worker
// thread: it must touch nothing but that folder and its own data.
using PageWriter = std::function<Expected<QString, QString>(const QString& folder)>;

// The layout width of the page in CSS px, and its smallest height.
constexpr int pageWidthPx = 1024;
constexpr int minimumPageHeightPx = 768;

// The layout height to print for what the measuring script answered: its
// ceiling, and at least the smallest height; anything but a finite number gives
// the smallest height.
double pageHeightPx(const QVariant& measured);

// The PDF page, in points, that holds a layout of 1024 x contentHeight CSS px.
QSizeF pdfPageSize(double contentHeightPx);

// Renders a page into a one-page PDF: laid out 1024 CSS px wide, as tall as its
// content and at least 768 px, in the light scheme. Returns at once. The browser
// engine starts at once, while `write` makes the page on a worker thread in a
// private folder inside workFolder (the system's temporary folder when empty);
// the folder and all in it are removed when the render ends, however it ends.
// `done` runs once on the GUI thread, with the PDF or the failure. When `receiver`
// is given and goes first, the render is dropped: `done` never runs.
void renderPageToPdf(PageWriter write, QObject* receiver, RenderCallback done, const RenderTiming& timing = {},
    const QString& workFolder = {});
// The same for a self-contained page held as text (data: URLs are capped at 2 MB,
// so it goes through a file too).
void renderHtmlToPdf(const QString& html, QObject* receiver, RenderCallback done, const RenderTiming& timing = {},
    const QString& workFolder = {});
void renderUrlToPdf(const QUrl& url, QObject* receiver, RenderCallback done, const RenderTiming& timing = {});

} // namespace zova::pdf
