#include "annotation/Redaction.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace zova::annotation {

namespace {

// The fill is built on a grid of at most this many cells along the longer side of
// the area around the marks: it has no detail to keep.
constexpr int gridCells = 192;
// Drawn where the marks leave nothing around them to build from.
constexpr QRgb nothingAround = 0xffa8a8ac;

constexpr int channels = 4;

// One level of the fill: per cell, a colour (four channels, in the byte order of
// the image's pixels) and how much of it is known, 0..1.
struct Level {
    int width = 0;
    int height = 0;
    std::vector<float> colour;
    std::vector<float> weight;

    Level(int w, int h)
        : width(w)
        , height(h)
        , colour(size_t(w) * size_t(h) * channels, 0.0f)
        , weight(size_t(w) * size_t(h), 0.0f)
    {
    }
    float* at(int x, int y) { return colour.data() + (size_t(y) * size_t(width) + size_t(x)) * channels; }
    const float* at(int x, int y) const { return colour.data() + (size_t(y) * size_t(width) + size_t(x)) * channels; }

    // The colour at (x, y) in cell units, between the cells' centres.
    void sample(double x, double y, float* out) const
    {
        x = std::clamp(x, 0.0, double(width - 1));
        y = std::clamp(y, 0.0, double(height - 1));
        const int x0 = int(x), y0 = int(y);
        const int x1 = std::min(x0 + 1, width - 1), y1 = std::min(y0 + 1, height - 1);
        const auto fx = float(x - x0), fy = float(y - y0);
        const float* a = at(x0, y0);
        const float* b = at(x1, y0);
        const float* c = at(x0, y1);
        const float* d = at(x1, y1);
        for (int k = 0; k < channels; ++k)
            out[k] = (a[k] * (1 - fx) + b[k] * fx) * (1 - fy) + (c[k] * (1 - fx) + d[k] * fx) * fy;
    }
};

// The next coarser level: each cell the weighted mean of its 2 x 2 cells.
Level pulled(const Level& fine)
{
    Level coarse((fine.width + 1) / 2, (fine.height + 1) / 2);
    for (int y = 0; y < coarse.height; ++y)
        for (int x = 0; x < coarse.width; ++x) {
            float sum[channels] = {};
            float total = 0;
            for (int dy = 0; dy < 2; ++dy)
                for (int dx = 0; dx < 2; ++dx) {
                    const int fx = 2 * x + dx, fy = 2 * y + dy;
                    if (fx >= fine.width || fy >= fine.height)
                        continue;
                    const float w = fine.weight[size_t(fy) * size_t(fine.width) + size_t(fx)];
                    const float* c = fine.at(fx, fy);
                    for (int k = 0; k < channels; ++k)
                        sum[k] += w * c[k];
                    total += w;
                }
            if (total <= 0)
                continue;
            float* out = coarse.at(x, y);
            for (int k = 0; k < channels; ++k)
                out[k] = sum[k] / total;
            coarse.weight[size_t(y) * size_t(coarse.width) + size_t(x)] = std::min(total, 1.0f);
        }
    return coarse;
}

// Fills what the fine level does not know from the filled coarser one.
void pushInto(Level& fine, const Level& coarse)
{
    float up[channels];
    for (int y = 0; y < fine.height; ++y)
        for (int x = 0; x < fine.width; ++x) {
            float& w = fine.weight[size_t(y) * size_t(fine.width) + size_t(x)];
            if (w >= 1)
                continue;
            coarse.sample((x + 0.5) / 2 - 0.5, (y + 0.5) / 2 - 0.5, up);
            float* c = fine.at(x, y);
            for (int k = 0; k < channels; ++k)
                c[k] = w * c[k] + (1 - w) * up[k];
            w = 1;
        }
}

// Three passes of a box blur of `radius` each way over 32-bit pixels, `width`
// a row and rows one after the other, the four channels at once, edge pixels
// repeated.
void boxBlur(std::vector<uchar>& pixels, int width, int height, int radius)
{
    const int window = 2 * radius + 1;
    const size_t stride = size_t(width) * channels;
    std::vector<uchar> source(pixels.size());
    std::vector<int> sums(stride);
    for (int pass = 0; pass < 3; ++pass) {
        // Along the rows.
        std::copy(pixels.cbegin(), pixels.cend(), source.begin());
        for (int y = 0; y < height; ++y) {
            const uchar* from = source.data() + size_t(y) * stride;
            uchar* row = pixels.data() + size_t(y) * stride;
            const auto at = [&](int x) { return from + size_t(std::clamp(x, 0, width - 1)) * channels; };
            int sum[channels] = {};
            for (int x = -radius; x <= radius; ++x)
                for (int k = 0; k < channels; ++k)
                    sum[k] += at(x)[k];
            for (int x = 0; x < width; ++x) {
                const uchar* in = at(x + radius + 1);
                const uchar* out = at(x - radius);
                for (int k = 0; k < channels; ++k) {
                    row[size_t(x) * channels + size_t(k)] = uchar((sum[k] + window / 2) / window);
                    sum[k] += in[k] - out[k];
                }
            }
        }
        // Down the columns, all of them at once, row by row.
        std::copy(pixels.cbegin(), pixels.cend(), source.begin());
        const auto rowAt = [&](int y) { return source.data() + size_t(std::clamp(y, 0, height - 1)) * stride; };
        std::fill(sums.begin(), sums.end(), 0);
        for (int y = -radius; y <= radius; ++y) {
            const uchar* row = rowAt(y);
            for (size_t i = 0; i < stride; ++i)
                sums[i] += row[i];
        }
        for (int y = 0; y < height; ++y) {
            uchar* row = pixels.data() + size_t(y) * stride;
            const uchar* in = rowAt(y + radius + 1);
            const uchar* out = rowAt(y - radius);
            for (size_t i = 0; i < stride; ++i) {
                row[i] = uchar((sums[i] + window / 2) / window);
                sums[i] += in[i] - out[i];
            }
        }
    }
}

// The pixel rectangle a mark covers, or an empty one.
QRect coveredPixels(QSize size, const StepAnnotation& a)
{
    const double w = size.width(), h = size.height();
    // Clamped in floating point first: a mark far off the image must not
    // overflow the conversion to pixels. Infinite edges clamp like any other.
    const double x1 = a.x * w, x2 = (a.x + a.width) * w;
    const double y1 = a.y * h, y2 = (a.y + a.height) * h;
    if (std::isnan(x1) || std::isnan(x2) || std::isnan(y1) || std::isnan(y2))
        return {};
    const double left = std::clamp(std::min(x1, x2), 0.0, w), right = std::clamp(std::max(x1, x2), 0.0, w);
    const double top = std::clamp(std::min(y1, y2), 0.0, h), bottom = std::clamp(std::max(y1, y2), 0.0, h);
    if (!(right > left) || !(bottom > top))
        return {};
    return QRect(QPoint(int(std::floor(left)), int(std::floor(top))),
        QPoint(int(std::ceil(right)) - 1, int(std::ceil(bottom)) - 1))
        .intersected(QRect(QPoint(0, 0), size));
}

} // namespace

QList<QRect> redactedAreas(QSize size, const QList<StepAnnotation>& marks)
{
    QList<QRect> areas;
    if (size.isEmpty())
        return areas;
    for (const StepAnnotation& a : marks) {
        switch (a.kind) {
        case StepAnnotation::Kind::Blur:
            if (const QRect r = coveredPixels(size, a); !r.isEmpty())
                areas.append(r);
            break;
        case StepAnnotation::Kind::Arrow:
        case StepAnnotation::Kind::Highlight:
        case StepAnnotation::Kind::Text: break;
        }
    }
    return areas;
}

QImage redacted(const QImage& source, const QList<StepAnnotation>& marks)
{
    const QList<QRect> areas = redactedAreas(source.size(), marks);
    if (areas.isEmpty())
        return source;
    QImage image = source.convertToFormat(source.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (image.isNull())
        return {}; // never hand out the pixels unhidden

    QRect hidden;
    for (const QRect& r : areas)
        hidden |= r;
    // The fill is built from a ring around the marks as wide as a quarter of them.
    const int margin = std::max(8, std::max(hidden.width(), hidden.height()) / 4);
    const QRect region = hidden.adjusted(-margin, -margin, margin, margin).intersected(image.rect());
    const int rw = region.width(), rh = region.height();
    std::vector<uchar> covered(size_t(rw) * size_t(rh), 0);
    for (const QRect& r : areas)
        for (int y = r.top(); y <= r.bottom(); ++y)
            std::fill_n(
                covered.begin() + std::ptrdiff_t(size_t(y - region.top()) * size_t(rw)) + (r.left() - region.left()),
                r.width(), uchar(1));
    const auto isCovered
        = [&](int x, int y) { return covered[size_t(y - region.top()) * size_t(rw) + size_t(x - region.left())]; };

    // The finest level: per cell, the mean of its pixels that no mark covers.
    const int cell = std::max(1, (std::max(rw, rh) + gridCells - 1) / gridCells);
    std::vector<Level> levels;
    levels.emplace_back((rw + cell - 1) / cell, (rh + cell - 1) / cell);
    std::vector<int> known(size_t(levels.front().width) * size_t(levels.front().height), 0);
    for (int y = region.top(); y <= region.bottom(); ++y) {
        const uchar* line = image.constScanLine(y);
        const int cy = (y - region.top()) / cell;
        for (int x = region.left(); x <= region.right(); ++x) {
            if (isCovered(x, y))
                continue;
            const int cx = (x - region.left()) / cell;
            float* c = levels.front().at(cx, cy);
            for (int k = 0; k < channels; ++k)
                c[k] += line[x * channels + k];
            ++known[size_t(cy) * size_t(levels.front().width) + size_t(cx)];
        }
    }
    bool anythingKnown = false;
    Level& finest = levels.front();
    for (int cy = 0; cy < finest.height; ++cy)
        for (int cx = 0; cx < finest.width; ++cx) {
            const int n = known[size_t(cy) * size_t(finest.width) + size_t(cx)];
            if (n == 0)
                continue;
            anythingKnown = true;
            float* c = finest.at(cx, cy);
            for (int k = 0; k < channels; ++k)
                c[k] /= float(n);
            const int cellW = std::min(cell, rw - cx * cell), cellH = std::min(cell, rh - cy * cell);
            finest.weight[size_t(cy) * size_t(finest.width) + size_t(cx)] = float(n) / float(cellW * cellH);
        }

    if (!anythingKnown) {
        for (const QRect& r : areas)
            for (int y = r.top(); y <= r.bottom(); ++y)
                std::fill_n(reinterpret_cast<QRgb*>(image.scanLine(y)) + r.left(), r.width(), nothingAround);
        return image;
    }

    // Pull to a single cell, then push back down: every cell ends up known, each
    // from the nearest pixels outside the marks.
    while (levels.back().width > 1 || levels.back().height > 1)
        levels.push_back(pulled(levels.back()));
    for (auto i = levels.size() - 1; i-- > 0;)
        pushInto(levels[i], levels[i + 1]);

    const Level& filled = levels.front();
    float value[channels];
    for (int y = hidden.top(); y <= hidden.bottom(); ++y) {
        uchar* line = image.scanLine(y);
        for (int x = hidden.left(); x <= hidden.right(); ++x) {
            if (!isCovered(x, y))
                continue;
            filled.sample((x - region.left() + 0.5) / cell - 0.5, (y - region.top() + 0.5) / cell - 0.5, value);
            for (int k = 0; k < channels; ++k)
                line[x * channels + k] = uchar(std::clamp(int(value[k] + 0.5f), 0, 255));
        }
    }

    // Blurred at the grid's scale, so that it reads as a blur and no cell shows.
    const int radius = std::max(2, cell);
    const QRect around = hidden.adjusted(-3 * radius, -3 * radius, 3 * radius, 3 * radius).intersected(image.rect());
    const int aw = around.width(), ah = around.height();
    const size_t stride = size_t(aw) * channels;
    std::vector<uchar> soft(stride * size_t(ah));
    for (int y = 0; y < ah; ++y)
        std::copy_n(image.constScanLine(around.top() + y) + size_t(around.left()) * channels, stride,
            soft.begin() + std::ptrdiff_t(size_t(y) * stride));
    boxBlur(soft, aw, ah, radius);
    for (int y = hidden.top(); y <= hidden.bottom(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        const auto* from = reinterpret_cast<const QRgb*>(soft.data() + size_t(y - around.top()) * stride);
        for (int x = hidden.left(); x <= hidden.right(); ++x)
            if (isCovered(x, y))
                line[x] = from[x - around.left()];
    }
    return image;
}

} // namespace zova::annotation
