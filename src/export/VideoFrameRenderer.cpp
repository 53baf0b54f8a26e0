#include "export/VideoFrameRenderer.h"

#include "annotation/AnnotationPainter.h"
#include "annotation/Redaction.h"
#include "annotation/SoftShadow.h"
#include "model/HexColor.h"
#include "model/VideoBackground.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace zova {

namespace {

constexpr double sideMargin = 60;
constexpr double bottomArea = 220;
constexpr double topMargin = 32;
constexpr double cornerRadius = 14;
constexpr double shadowBlur = 28;
constexpr double bandHeight = 160;

QFont captionFont(int pixelSize, QFont::Weight weight)
{
    QFont f(QStringLiteral("Nimbus Sans"));
    f.setPixelSize(pixelSize);
    f.setWeight(weight);
    f.setStyleStrategy(QFont::PreferAntialias);
    return f;
}

void drawCentredLine(QPainter& p, const QString& text, const QFont& font, double width, double baseline)
{
    const QFontMetricsF fm(font);
    p.setFont(font);
    p.drawText(QPointF(width / 2 - fm.tightBoundingRect(text).width() / 2, baseline), text);
}

} // namespace

double VideoFrameRenderer::luminance(const QString& hex)
{
    // From the whole bytes, with the weights in thousandths: a colour of exactly half
    // luminance ("00cc44") comes out as exactly 0.5, not a rounding above it.
    const QColor c = video_background::color(hex);
    return (299 * c.red() + 587 * c.green() + 114 * c.blue()) / (1000.0 * 255.0);
}

QRectF VideoFrameRenderer::screenshotRect(QSizeF imageSize, int width, int height)
{
    const double W = width, H = height;
    const double availW = W - 2 * sideMargin, availH = H - bottomArea - topMargin;
    const double aspect = imageSize.height() > 0 ? imageSize.width() / imageSize.height() : 1.0;
    double w, h, x, yFromBottom;
    if (availW / availH < aspect) {
        w = availW;
        h = availW / aspect;
        x = sideMargin;
        yFromBottom = bottomArea + (availH - h) / 2;
    } else {
        h = availH;
        w = availH * aspect;
        x = sideMargin + (availW - w) / 2;
        yFromBottom = bottomArea;
    }
    return QRectF(x, H - yFromBottom - h, w, h);
}

QPointF VideoFrameRenderer::markerCenter(const QRectF& screenshot, double clickX, double clickY)
{
    return { screenshot.left() + clickX * screenshot.width(), screenshot.top() + clickY * screenshot.height() };
}

QColor VideoFrameRenderer::captionBandColor(const QString& backgroundHex)
{
    return luminance(backgroundHex) > 0.5 ? QColor::fromRgbF(0.10f, 0.08f, 0.13f, 0.92f)
                                          : QColor::fromRgbF(0.04f, 0.03f, 0.06f, 0.85f);
}

QString VideoFrameRenderer::captionLine(const QString& description, int width)
{
    const QFontMetricsF fm(captionFont(38, QFont::Bold));
    const double available = width - 2 * sideMargin;
    if (fm.horizontalAdvance(description) <= available)
        return description;
    const QString elided = fm.elidedText(description, Qt::ElideRight, available);
    return elided.isEmpty() ? description : elided;
}

std::optional<QImage> VideoFrameRenderer::renderFrame(
    const VideoFrameSource& source, int stepNumber, int totalSteps, const VideoExportOptions& options)
{
    if (options.width <= 0 || options.height <= 0)
        return std::nullopt;
    return renderFrame(source, loadFrameScreenshot(source), stepNumber, totalSteps, options);
}

std::optional<QImage> VideoFrameRenderer::renderFrame(const VideoFrameSource& source, const QImage& screenshot,
    int stepNumber, int totalSteps, const VideoExportOptions& options)
{
    if (options.width <= 0 || options.height <= 0 || screenshot.isNull())
        return std::nullopt;
    const QImage shown = annotation::redacted(screenshot, source.annotations);
    if (shown.isNull())
        return std::nullopt;
    QImage frame(options.width, options.height, QImage::Format_ARGB32_Premultiplied);
    if (frame.isNull())
        return std::nullopt;
    const double W = options.width, H = options.height;
    frame.fill(video_background::color(source.backgroundHex));

    QPainter p(&frame);
    if (!p.isActive())
        return std::nullopt;
    p.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform | QPainter::TextAntialiasing);

    const QRectF shot = screenshotRect(shown.size(), options.width, options.height);
    QPainterPath rounded;
    rounded.setFillRule(Qt::WindingFill);
    rounded.addRoundedRect(shot, cornerRadius, cornerRadius);

    annotation::drawSoftShadow(p, rounded, shadowBlur, QColor::fromRgbF(0, 0, 0, 0.55f));
    p.save();
    p.setClipPath(rounded);
    p.drawImage(shot, shown);
    p.restore();

    const QColor accent = colorFromHexString(options.themeAccentHex).value_or(QColor(255, 61, 138));
    const QPointF c = markerCenter(shot, source.clickX, source.clickY);
    QColor faint = accent;
    faint.setAlphaF(0.35f);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(faint, 4));
    p.drawEllipse(c, 18, 18);
    p.setPen(QPen(accent, 3));
    p.drawEllipse(c, 11, 11);
    QColor dot = accent;
    dot.setAlphaF(0.25f);
    p.setPen(Qt::NoPen);
    p.setBrush(dot);
    p.drawEllipse(c, 6, 6);

    p.save();
    p.setClipPath(rounded);
    annotation::paintAnnotations(p, shot, source.annotations);
    p.restore();

    p.fillRect(QRectF(0, H - bandHeight, W, bandHeight), captionBandColor(source.backgroundHex));

    p.setPen(Qt::white);
    drawCentredLine(p, captionLine(source.description, options.width), captionFont(38, QFont::Bold), W, H - 86);

    QColor counterColor = Qt::white;
    counterColor.setAlphaF(0.55f);
    p.setPen(counterColor);
    drawCentredLine(p,
        QStringLiteral("Step ") + QString::number(stepNumber) + QStringLiteral(" of ") + QString::number(totalSteps),
        captionFont(22, QFont::Medium), W, H - 36);
    p.end();
    return frame;
}

} // namespace zova
