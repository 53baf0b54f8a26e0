#include "export/PrintShadows.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <vector>

namespace zova {

namespace {

// Distance between two layers' edges, in CSS px: at most a fiftieth of the shadow's
// alpha lies between neighbours, below what a person tells apart.
constexpr double layerStep = 1.5;
// A Gaussian is all but gone two and a half deviations out.
constexpr double reach = 2.5;
// A shadow picture reaches three deviations out, where less than a 700th is left.
constexpr double pictureReach = 3;
constexpr int pictureScale = 2;

// Share of the shadow's alpha at signed distance d outside its box's edge.
double falloff(double d, double sigma) { return 0.5 * std::erfc(d / (sigma * std::sqrt(2.0))); }

QString number(double v) { return QString::number(std::round(v * 100) / 100, 'g', 10); }

QString colorMix(double percent)
{
    return QStringLiteral("color-mix(in srgb, var(--c) %1%, transparent)").arg(QString::number(percent, 'f', 2));
}

// The coverage of a rounded box, antialiased, `scale` pixels to a CSS px.
std::vector<float> coverage(QSize pixels, const QRectF& box, double radius)
{
    QImage mask(pixels, QImage::Format_Alpha8);
    mask.fill(0);
    {
        QPainter p(&mask);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(pictureScale, pictureScale);
        QPainterPath path;
        path.addRoundedRect(box, radius, radius);
        p.fillPath(path, Qt::black);
    }
    std::vector<float> out(size_t(pixels.width()) * size_t(pixels.height()));
    for (int y = 0; y < pixels.height(); ++y) {
        const uchar* line = mask.constScanLine(y);
        for (int x = 0; x < pixels.width(); ++x)
            out[size_t(y) * size_t(pixels.width()) + size_t(x)] = line[x] / 255.0f;
    }
    return out;
}

// A Gaussian blur of deviation sigma (pixels) along rows, then columns; outside is 0.
void gaussianBlur(std::vector<float>& values, QSize pixels, double sigma)
{
    const int radius = int(std::ceil(pictureReach * sigma)) + 1;
    std::vector<float> kernel(size_t(2 * radius + 1));
    double sum = 0;
    for (int i = -radius; i <= radius; ++i)
        sum += kernel[size_t(i + radius)] = float(std::exp(-0.5 * i * i / (sigma * sigma)));
    for (float& k : kernel)
        k = float(k / sum);
    const int w = pixels.width();
    const int h = pixels.height();
    std::vector<float> scratch(values.size());
    auto pass = [&](const std::vector<float>& from, std::vector<float>& to, int n, int lines, int step, int stride) {
        for (int line = 0; line < lines; ++line) {
            const size_t base = size_t(line) * size_t(stride);
            for (int i = 0; i < n; ++i) {
                float acc = 0;
                for (int k = std::max(-radius, -i); k <= std::min(radius, n - 1 - i); ++k)
                    acc += kernel[size_t(k + radius)] * from[base + size_t(i + k) * size_t(step)];
                to[base + size_t(i) * size_t(step)] = acc;
            }
        }
    };
    pass(values, scratch, w, h, 1, w);
    pass(scratch, values, h, w, w, 1);
}

struct Rule {
    const char* selector;
    BlurredShadow shadow;
    double alpha;
    std::function<QString(double)> colour;
    QStringList keep; // the rule's sharp shadows, unchanged
};

QString borderImage(const ShadowPicture& picture)
{
    return QStringLiteral("border-image: url(\"%1\") %2 / %3px / %4px stretch")
        .arg(picture.fileName)
        .arg(picture.slice * picture.scale)
        .arg(picture.slice)
        .arg(picture.outset);
}

} // namespace

QList<ShadowedBox> printShadowBoxes()
{
    // The page's blurred shadows on its own elements; the sizes of the step number and
    // the hotspot are fixed by the page, the card and the screenshot stretch.
    const auto colour = [](int r, int g, int b, double a) {
        QColor c(r, g, b);
        c.setAlphaF(float(a));
        return c;
    };
    return {
        { QStringLiteral("shadow-step.png"), 0, 0, 18, { 0, 4, 20 }, colour(0, 0, 0, 0.05), true },
        { QStringLiteral("shadow-step-number.png"), 36, 36, 18, { 0, 4, 12 }, colour(168, 85, 247, 0.35), false },
        { QStringLiteral("shadow-screenshot.png"), 0, 0, 12, { 0, 2, 12 }, colour(0, 0, 0, 0.1), true },
        { QStringLiteral("shadow-hotspot.png"), 28, 28, 14, { 0, 0, 20 }, colour(255, 61, 138, 0.4), false },
    };
}

ShadowPicture shadowPicture(const ShadowedBox& box)
{
    const double sigma = box.shadow.blur / 2;
    const int offset = int(std::ceil(std::max(std::abs(box.shadow.x), std::abs(box.shadow.y))));
    const int outset = int(std::ceil(pictureReach * sigma)) + offset;
    // A stretching picture is made for a box just big enough that each corner's
    // shadow stays within its corner part, so the middle rows and columns that
    // stretch are plain edge.
    const int inner = int(std::ceil(box.radius)) + int(std::ceil(pictureReach * sigma)) + offset;
    const double width = box.stretches ? 2.0 * inner + 2 : box.width;
    const double height = box.stretches ? 2.0 * inner + 2 : box.height;
    const QSize css(int(std::ceil(width)) + 2 * outset, int(std::ceil(height)) + 2 * outset);
    const QSize pixels = css * pictureScale;

    std::vector<float> shadow
        = coverage(pixels, QRectF(outset + box.shadow.x, outset + box.shadow.y, width, height), box.radius);
    gaussianBlur(shadow, pixels, sigma * pictureScale);
    const std::vector<float> clear = coverage(pixels, QRectF(outset, outset, width, height), box.radius);

    QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
    const double alpha = box.colour.alphaF();
    for (int y = 0; y < pixels.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < pixels.width(); ++x) {
            const size_t i = size_t(y) * size_t(pixels.width()) + size_t(x);
            const double a = std::clamp(alpha * shadow[i] * (1.0 - clear[i]), 0.0, 1.0);
            line[x] = qPremultiply(
                qRgba(box.colour.red(), box.colour.green(), box.colour.blue(), int(std::lround(a * 255))));
        }
    }
    ShadowPicture picture;
    picture.fileName = box.fileName;
    picture.image = image;
    picture.scale = pictureScale;
    picture.outset = outset;
    picture.slice = box.stretches ? outset + inner : css.width() / 2;
    return picture;
}

QList<ShadowPicture> printShadowPictures()
{
    // Made once: the same four pictures serve every page.
    static const QList<ShadowPicture> pictures = [] {
        QList<ShadowPicture> made;
        for (const ShadowedBox& box : printShadowBoxes())
            made.append(shadowPicture(box));
        return made;
    }();
    return pictures;
}

QStringList sharpLayers(const BlurredShadow& shadow, double alpha, const std::function<QString(double)>& colour)
{
    // CSS blur radius is twice the deviation. An outer shadow shows only outside its
    // element, so layers reach inwards no further than the offset uncovers.
    const double sigma = shadow.blur / 2;
    const double outer = reach * sigma;
    const double inner = -(std::max(std::abs(shadow.x), std::abs(shadow.y)) + layerStep);
    const int count = std::max(2, int(std::ceil((outer - inner) / layerStep)) + 1);
    const double step = (outer - inner) / (count - 1);

    QStringList layers;
    double covered = 0; // alpha the layers so far add up to, composited
    for (int k = 0; k < count; ++k) {
        const double spread = outer - k * step;
        // Inside this layer's edge and outside the next one's, the stack must show the
        // falloff at the middle of the band; the innermost band runs on inwards.
        const double target = alpha * falloff(k + 1 < count ? spread - step / 2 : spread, sigma);
        const double own = 1 - (1 - target) / (1 - covered);
        if (own <= 0)
            continue;
        covered = target;
        layers.append(QStringLiteral("%1px %2px 0 %3px %4")
                          .arg(number(shadow.x), number(shadow.y), number(spread), colour(own / alpha)));
    }
    return layers;
}

QString printShadowStylesheet()
{
    QString css;
    const QList<ShadowPicture> pictures = printShadowPictures();
    auto picture = [&](const char* fileName) {
        for (const ShadowPicture& p : pictures)
            if (p.fileName == QLatin1String(fileName))
                return p;
        return ShadowPicture {};
    };
    // Each element's picture is a border image reaching `outset` past its border box.
    // The engine paints a border image only where the border is wider than zero, so
    // each box that carries one has a transparent 1 px border: the card and the
    // hotspot (which have borders of their own to show) on a pseudo-element laid over
    // their border box, the step number within its fixed size, and the screenshot's
    // frame grown by that pixel on every side, so its image stays where it was.
    const auto image = [&](const char* fileName, int less = 0) {
        ShadowPicture p = picture(fileName);
        p.outset -= less;
        return borderImage(p);
    };
    const QString pseudo
        = QStringLiteral("::before { content: \"\"; position: absolute; top: %1; right: %1; bottom: %1; left: %1; "
                         "border: 1px solid transparent; pointer-events: none; %2; }\n");
    css += QStringLiteral(".step { position: relative; box-shadow: 0 1px 0 rgba(255,255,255,0.6) inset; }\n");
    css += QStringLiteral(".step") + pseudo.arg(QStringLiteral("-0.5px"), image("shadow-step.png"));
    css += QStringLiteral(".step-number { box-shadow: inset 0 1px 0 rgba(255,255,255,0.4); "
                          "border: 1px solid transparent; %1; }\n")
               .arg(image("shadow-step-number.png"));
    css += QStringLiteral(".screenshot-wrapper { box-shadow: none; border: 1px solid transparent; margin: -1px; "
                          "border-radius: 13px; %1; }\n")
               .arg(image("shadow-screenshot.png", 1));
    css += QStringLiteral(".hotspot { box-shadow: 0 0 0 5px rgba(255,61,138,0.22); }\n");
    css += QStringLiteral(".hotspot") + pseudo.arg(QStringLiteral("-3px"), image("shadow-hotspot.png"));
    const QList<Rule> layered = {
        { ".ann-highlight", { 0, 0, 16 }, 0.35, [](double f) { return colorMix(35 * f); }, {} },
        { ".ann-text", { 0, 4, 12 }, 0.45, [](double f) { return colorMix(45 * f); }, {} },
    };
    for (const Rule& rule : layered) {
        // Sharp shadows first: the first shadow in the list is drawn on top.
        QStringList shadows = rule.keep;
        shadows += sharpLayers(rule.shadow, rule.alpha, rule.colour);
        css += QLatin1String(rule.selector) + QStringLiteral(" { box-shadow: ") + shadows.join(QStringLiteral(", "))
            + QStringLiteral("; }\n");
    }
    return css;
}

} // namespace zova
