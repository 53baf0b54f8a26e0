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
};

using RenderResult = Expected<QByteArray, RenderFailure>;
using RenderCallback = std::function<void(const RenderResult&)>;

// The layout width of the page in CSS px, and its smallest height.
constexpr int pageWidthPx = 1024;
constexpr int minimumPageHeightPx = 768;

// The layout height to print for what the measuring script answered: its
// ceiling, and at least the smallest height; anything but a finite number gives
// the smallest height.
double pageHeightPx(const QVariant& measured);

// The PDF page, in points, that holds a layout of 1024 x contentHeight CSS px.
QSizeF pdfPageSize(double contentHeightPx);

// Renders a self-contained page into a one-page PDF: laid out 1024 CSS px wide,
// as tall as its content and at least 768 px, in the light scheme. The page goes
// through a temporary file, since data: URLs are capped at 2 MB. Returns at once;
// `done` runs on the GUI thread unless `receiver` (when given) is gone by then.
// The page is written to a temporary folder inside workFolder (the system's
// temporary folder when empty), removed when the job ends.
void renderHtmlToPdf(const QString& html, QObject* receiver, RenderCallback done, const RenderTiming& timing = {},
    const QString& workFolder = {});
void renderUrlToPdf(const QUrl& url, QObject* receiver, RenderCallback done, const RenderTiming& timing = {});

} // namespace zova::pdf
