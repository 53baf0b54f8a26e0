#pragma once

#include <QByteArray>
#include <QImage>

#include <optional>

namespace zova::png {

// How each row is predicted before deflate sees it.
enum class RowFilter { None, Sub, Up };

struct EncodeOptions {
    int level = 6; // deflate effort: 0 (stored), 1 (fastest) to 12 (smallest)
    RowFilter filter = RowFilter::None;
    int maxThreads = 4; // bands of rows deflated side by side; 1 keeps to the calling thread
};

// Encodes the image as a PNG: 8-bit RGB where every pixel is opaque, RGBA
// (unpremultiplied) otherwise. No value for a null image or an encoder failure.
// Safe to call from any thread.
std::optional<QByteArray> encode(const QImage& image, const EncodeOptions& options = {});

// A step screenshot: the options above, at one more level of effort when the
// image is small enough to be deflated in one band.
std::optional<QByteArray> encodeScreenshot(const QImage& image);

// True when the image has no pixel that is not fully opaque.
bool isOpaque(const QImage& image);

} // namespace zova::png
