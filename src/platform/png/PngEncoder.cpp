#include "platform/png/PngEncoder.h"

#include <QtEndian>

#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <csetjmp>
#include <cstring>
#include <thread>
#include <vector>

namespace zova::png {

namespace {

// The write and info structures of one file, destroyed together.
class WriteHandles {
public:
    WriteHandles()
    {
        m_png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, onError, onWarning);
        if (m_png)
            m_info = png_create_info_struct(m_png);
    }
    ~WriteHandles() { png_destroy_write_struct(m_png ? &m_png : nullptr, m_info ? &m_info : nullptr); }
    WriteHandles(const WriteHandles&) = delete;
    WriteHandles& operator=(const WriteHandles&) = delete;

    bool isValid() const { return m_png && m_info; }
    png_structp png() const { return m_png; }
    png_infop info() const { return m_info; }

private:
    static void onError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
    static void onWarning(png_structp, png_const_charp) { }

    png_structp m_png = nullptr;
    png_infop m_info = nullptr;
};

// A deflate stream, ended however its use ends.
class Deflater {
public:
    explicit Deflater(int level)
    {
        m_ok = deflateInit2(&m_stream, level, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) == Z_OK;
    }
    ~Deflater()
    {
        if (m_ok)
            deflateEnd(&m_stream);
    }
    Deflater(const Deflater&) = delete;
    Deflater& operator=(const Deflater&) = delete;

    bool isValid() const { return m_ok; }
    z_stream& stream() { return m_stream; }

private:
    z_stream m_stream {};
    bool m_ok = false;
};

// The source image as libpng's pixel layout sees it: 4 bytes a pixel, the fourth
// dropped when the image is written as RGB.
struct Pixels {
    const uchar* bits = nullptr;
    qsizetype stride = 0;
    int width = 0;
    int height = 0;
    bool keepAlpha = false;
    bool bgr = false; // the bytes run B, G, R, A
    int channels() const { return keepAlpha ? 4 : 3; }
    size_t rowBytes() const { return size_t(width) * size_t(channels()); }
};

// The deflated bytes of one band of rows, and the Adler-32 of what went in.
struct Band {
    int firstRow = 0;
    int endRow = 0;
    std::vector<uchar> deflated;
    uLong adler = 1;
    size_t rawLength = 0;
    bool ok = false;
};

void unpackRow(const Pixels& pixels, int y, uchar* out)
{
    const uchar* in = pixels.bits + pixels.stride * y;
    const int r = pixels.bgr ? 2 : 0;
    const int b = pixels.bgr ? 0 : 2;
    if (pixels.keepAlpha) {
        std::memcpy(out, in, size_t(pixels.width) * 4);
        return;
    }
    for (int x = 0; x < pixels.width; ++x, in += 4, out += 3) {
        out[0] = in[r];
        out[1] = in[1];
        out[2] = in[b];
    }
}

// Filters the unpacked row in place of `out` (filter byte first), `previous` being the unpacked row above.
void filterRow(RowFilter filter, const uchar* row, const uchar* previous, size_t length, int channels, uchar* out)
{
    switch (filter) {
    case RowFilter::None:
        out[0] = 0;
        std::memcpy(out + 1, row, length);
        return;
    case RowFilter::Sub:
        out[0] = 1;
        for (size_t i = 0; i < length; ++i)
            out[1 + i] = uchar(row[i] - (i >= size_t(channels) ? row[i - size_t(channels)] : 0));
        return;
    case RowFilter::Up:
        out[0] = 2;
        for (size_t i = 0; i < length; ++i)
            out[1 + i] = uchar(row[i] - (previous ? previous[i] : 0));
        return;
    }
}

// The filtered bytes of rows [first, end); the rows just above `first` are unpacked
// as well where Up needs them.
std::vector<uchar> filteredRows(const Pixels& pixels, RowFilter filter, int first, int end)
{
    const size_t length = pixels.rowBytes();
    std::vector<uchar> out((length + 1) * size_t(end - first));
    std::vector<uchar> current(length);
    std::vector<uchar> previous(length);
    bool havePrevious = false;
    if (filter == RowFilter::Up && first > 0) {
        unpackRow(pixels, first - 1, previous.data());
        havePrevious = true;
    }
    for (int y = first; y < end; ++y) {
        unpackRow(pixels, y, current.data());
        filterRow(filter, current.data(), havePrevious ? previous.data() : nullptr, length, pixels.channels(),
            out.data() + (length + 1) * size_t(y - first));
        std::swap(current, previous);
        havePrevious = true;
    }
    return out;
}

// Deflates one band as part of a single raw deflate stream: each band but the last
// ends on a byte boundary, primed with the window of the band before, so the bands
// join into one stream that decodes as if it were written in one go.
void deflateBand(const Pixels& pixels, const EncodeOptions& options, bool last, Band& band)
{
    const size_t filteredLength = pixels.rowBytes() + 1;
    const int windowRows = int((32768 + filteredLength - 1) / filteredLength);
    const int primeFrom = std::max(0, band.firstRow - windowRows);
    const std::vector<uchar> input = filteredRows(pixels, options.filter, primeFrom, band.endRow);
    const size_t primeLength = filteredLength * size_t(band.firstRow - primeFrom);
    const uchar* data = input.data() + primeLength;
    band.rawLength = input.size() - primeLength;
    band.adler = adler32(1, data, uInt(band.rawLength));

    Deflater deflater(std::clamp(options.zlibLevel, 0, 9));
    if (!deflater.isValid())
        return;
    z_stream& z = deflater.stream();
    if (primeLength > 0) {
        const size_t window = std::min<size_t>(primeLength, 32768);
        if (deflateSetDictionary(&z, data - window, uInt(window)) != Z_OK)
            return;
    }
    band.deflated.resize(deflateBound(&z, uLong(band.rawLength)) + 64);
    z.next_in = const_cast<uchar*>(data);
    z.avail_in = uInt(band.rawLength);
    size_t written = 0;
    const int flush = last ? Z_FINISH : Z_SYNC_FLUSH;
    for (;;) {
        z.next_out = band.deflated.data() + written;
        z.avail_out = uInt(band.deflated.size() - written);
        const int result = deflate(&z, flush);
        written = band.deflated.size() - z.avail_out;
        if (result == Z_STREAM_END || (!last && result == Z_OK && z.avail_in == 0 && z.avail_out > 0))
            break;
        if (result != Z_OK && result != Z_BUF_ERROR)
            return;
        band.deflated.resize(band.deflated.size() * 2);
    }
    band.deflated.resize(written);
    band.ok = true;
}

// The zlib stream of the image: header, the bands' deflate data, Adler-32.
std::optional<std::vector<uchar>> compressedImage(const Pixels& pixels, const EncodeOptions& options)
{
    // Bands below about 128 rows would spend more on their windows than they gain.
    const int bandCount = std::clamp(pixels.height / 128, 1, std::max(1, options.maxThreads));
    std::vector<Band> bands(static_cast<size_t>(bandCount));
    for (int i = 0; i < bandCount; ++i) {
        bands[size_t(i)].firstRow = int(qint64(pixels.height) * i / bandCount);
        bands[size_t(i)].endRow = int(qint64(pixels.height) * (i + 1) / bandCount);
    }
    {
        std::vector<std::jthread> workers;
        for (int i = 1; i < bandCount; ++i)
            workers.emplace_back([&, i] { deflateBand(pixels, options, i == bandCount - 1, bands[size_t(i)]); });
        deflateBand(pixels, options, bandCount == 1, bands[0]);
    }
    std::vector<uchar> out { 0x78, 0x9c };
    uLong adler = 1;
    for (const Band& band : bands) {
        if (!band.ok)
            return std::nullopt;
        out.insert(out.end(), band.deflated.begin(), band.deflated.end());
        adler = adler32_combine(adler, band.adler, z_off_t(band.rawLength));
    }
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(uchar(adler >> shift));
    return out;
}

void appendBytes(png_structp png, png_bytep data, png_size_t length)
{
    auto* out = static_cast<QByteArray*>(png_get_io_ptr(png));
    out->append(reinterpret_cast<const char*>(data), qsizetype(length));
}

void flushNothing(png_structp) { }

// libpng writes the signature, the header and the chunks around the image data.
// Every local here is trivially destructible: libpng's errors jump back to the setjmp.
bool writeFile(png_structp png, png_infop info, const Pixels& pixels, const std::vector<uchar>& idat, QByteArray* out)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_write_fn(png, out, appendBytes, flushNothing);
    png_set_IHDR(png, info, png_uint_32(pixels.width), png_uint_32(pixels.height), 8,
        pixels.keepAlpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_BASE,
        PNG_FILTER_TYPE_BASE);
    png_write_info(png, info);
    constexpr size_t chunkLimit = size_t(1) << 20;
    for (size_t at = 0; at < idat.size(); at += chunkLimit)
        png_write_chunk(
            png, reinterpret_cast<png_const_bytep>("IDAT"), idat.data() + at, std::min(chunkLimit, idat.size() - at));
    png_write_chunk(png, reinterpret_cast<png_const_bytep>("IEND"), nullptr, 0);
    return true;
}

bool isFourByteFormat(QImage::Format format)
{
    switch (format) {
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
    case QImage::Format_ARGB32_Premultiplied:
    case QImage::Format_RGBX8888:
    case QImage::Format_RGBA8888:
    case QImage::Format_RGBA8888_Premultiplied: return true;
    default: return false;
    }
}

// Formats whose bytes run R, G, B, A in memory on every machine.
bool isRgbaByteOrder(QImage::Format format)
{
    return format == QImage::Format_RGBX8888 || format == QImage::Format_RGBA8888
        || format == QImage::Format_RGBA8888_Premultiplied;
}

} // namespace

bool isOpaque(const QImage& image)
{
    if (!image.hasAlphaChannel())
        return true;
    if (!isFourByteFormat(image.format()))
        return isOpaque(image.convertToFormat(QImage::Format_ARGB32));
    // The alpha byte is the top of the word for ARGB32, the last byte for RGBA8888.
    const quint32 alphaMask = isRgbaByteOrder(image.format()) ? qToBigEndian(quint32(0xff)) : 0xff000000u;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const quint32*>(image.constScanLine(y));
        quint32 all = 0xffffffffu;
        for (int x = 0; x < image.width(); ++x)
            all &= line[x];
        if ((all & alphaMask) != alphaMask)
            return false;
    }
    return true;
}

std::optional<QByteArray> encode(const QImage& image, const EncodeOptions& options)
{
    if (image.isNull())
        return std::nullopt;
    QImage source;
    Pixels pixels;
    if (!isOpaque(image)) {
        source = image.convertToFormat(QImage::Format_RGBA8888);
        pixels.keepAlpha = true;
    } else if (isRgbaByteOrder(image.format())) {
        source = image;
    } else if (Q_BYTE_ORDER == Q_LITTLE_ENDIAN) {
        // RGB32 and the ARGB32 formats of an opaque image share their bytes.
        source = isFourByteFormat(image.format()) ? image : image.convertToFormat(QImage::Format_RGB32);
        pixels.bgr = true;
    } else {
        source = image.convertToFormat(QImage::Format_RGBX8888);
    }
    if (source.isNull())
        return std::nullopt;
    pixels.bits = source.constBits();
    pixels.stride = source.bytesPerLine();
    pixels.width = source.width();
    pixels.height = source.height();

    const auto idat = compressedImage(pixels, options);
    if (!idat)
        return std::nullopt;
    WriteHandles handles;
    if (!handles.isValid())
        return std::nullopt;
    QByteArray out;
    out.reserve(qsizetype(idat->size()) + 128);
    if (!writeFile(handles.png(), handles.info(), pixels, *idat, &out))
        return std::nullopt;
    return out;
}

std::optional<QByteArray> encodeScreenshot(const QImage& image) { return encode(image); }

} // namespace zova::png
