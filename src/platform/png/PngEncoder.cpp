#include "platform/png/PngEncoder.h"

#include "platform/Platform.h"
#include "platform/png/DeflateStream.h"

#include <libdeflate.h>
#include <png.h>
#include <zlib.h>

#include <QThreadPool>
#include <QtEndian>

#include <algorithm>
#include <csetjmp>
#include <cstring>
#include <latch>
#include <memory>
#include <mutex>
#include <span>
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

// Each band starts without the window of the one before and sends its own codes:
// below about a megabyte of rows that costs more bytes than libpng's single stream saves.
constexpr size_t minBandBytes = size_t(1) << 20;

struct CompressorDeleter {
    void operator()(libdeflate_compressor* c) const { libdeflate_free_compressor(c); }
};
using Compressor = std::unique_ptr<libdeflate_compressor, CompressorDeleter>;

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

// One band of rows: its deflate data, ready to be followed by the next band's
// unless it is the last, and the Adler-32 of its filtered bytes.
struct Band {
    int firstRow = 0;
    int endRow = 0;
    std::vector<uchar> deflated;
    uint32_t adler = 1;
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

// A buffer whose bytes are left unset until written: those here are large, and
// every byte read from them is written first.
class Buffer {
public:
    uchar* data() const { return m_data.get(); }
    // Makes room for `n` bytes, keeping none of those held before.
    void reserve(size_t n)
    {
        if (n > m_capacity) {
            m_data.reset(new uchar[n]);
            m_capacity = n;
        }
    }

private:
    std::unique_ptr<uchar[]> m_data;
    size_t m_capacity = 0;
};

// What deflating one band takes besides the pixels: its filtered rows, room for
// its deflate data and a compressor. Kept for the next image: faulting in fresh
// pages for these costs about as much as deflating the band.
struct Scratch {
    Buffer rows;
    Buffer deflated;
    Compressor compressor;
    int level = -1;
};

class ScratchPool {
public:
    std::unique_ptr<Scratch> take()
    {
        const std::lock_guard lock(m_mutex);
        if (m_free.empty())
            return std::make_unique<Scratch>();
        std::unique_ptr<Scratch> scratch = std::move(m_free.back());
        m_free.pop_back();
        return scratch;
    }
    void give(std::unique_ptr<Scratch> scratch)
    {
        const std::lock_guard lock(m_mutex);
        // Enough for two images encoded at once in four bands each.
        if (m_free.size() < 8)
            m_free.push_back(std::move(scratch));
    }

private:
    std::mutex m_mutex;
    std::vector<std::unique_ptr<Scratch>> m_free;
};

ScratchPool& scratchPool()
{
    static ScratchPool pool;
    return pool;
}

// The threads that deflate the bands other than the first, which the calling
// thread deflates itself; kept between images, as starting threads for each costs
// more than their work.
QThreadPool& bandWorkers()
{
    static QThreadPool* const pool = [] {
        auto* p = new QThreadPool;
        p->setMaxThreadCount(2 * (EncodeOptions {}.maxThreads - 1));
        return p;
    }();
    return *pool;
}

// Writes the filtered bytes of rows [first, end) to `out`; the row just above
// `first` is unpacked as well where Up needs it. Returns the number of bytes.
size_t filterRows(const Pixels& pixels, RowFilter filter, int first, int end, Buffer& out)
{
    const size_t length = pixels.rowBytes();
    const size_t total = (length + 1) * size_t(end - first);
    out.reserve(total);
    uchar* row = out.data();
    if (filter == RowFilter::None) {
        for (int y = first; y < end; ++y, row += length + 1) {
            row[0] = 0;
            unpackRow(pixels, y, row + 1);
        }
        return total;
    }
    std::vector<uchar> current(length);
    std::vector<uchar> previous(length);
    bool havePrevious = false;
    if (filter == RowFilter::Up && first > 0) {
        unpackRow(pixels, first - 1, previous.data());
        havePrevious = true;
    }
    for (int y = first; y < end; ++y, row += length + 1) {
        unpackRow(pixels, y, current.data());
        filterRow(filter, current.data(), havePrevious ? previous.data() : nullptr, length, pixels.channels(), row);
        std::swap(current, previous);
        havePrevious = true;
    }
    return total;
}

// Deflates one band of rows as a stream of its own; a band that is not the last is
// then made a part that the next band's stream continues. Bands start without the
// window of the band before, which costs a few bytes at each join.
void deflateBand(const Pixels& pixels, const EncodeOptions& options, bool last, Band& band)
{
    std::unique_ptr<Scratch> scratch = scratchPool().take();
    const int level = std::clamp(options.level, 0, 12);
    if (!scratch->compressor || scratch->level != level) {
        scratch->compressor.reset(libdeflate_alloc_compressor(level));
        scratch->level = level;
    }
    if (scratch->compressor) {
        band.rawLength = filterRows(pixels, options.filter, band.firstRow, band.endRow, scratch->rows);
        band.adler = libdeflate_adler32(1, scratch->rows.data(), band.rawLength);
        const size_t room = libdeflate_deflate_compress_bound(scratch->compressor.get(), band.rawLength);
        scratch->deflated.reserve(room);
        const size_t written = libdeflate_deflate_compress(
            scratch->compressor.get(), scratch->rows.data(), band.rawLength, scratch->deflated.data(), room);
        const std::span<const uchar> stream(scratch->deflated.data(), written);
        if (written > 0 && last) {
            band.deflated.assign(stream.begin(), stream.end());
            band.ok = true;
        } else if (written > 0) {
            band.ok = appendContinued(band.deflated, stream);
        }
    }
    scratchPool().give(std::move(scratch));
}

// The second byte of the zlib header, which names how hard the data was compressed.
uchar zlibFlags(int level)
{
    if (level < 2)
        return 0x01;
    if (level < 6)
        return 0x5e;
    return level == 6 ? 0x9c : 0xda;
}

// The bands' deflate data in one zlib stream: header, the parts, Adler-32.
std::optional<std::vector<uchar>> joinedBands(const std::vector<Band>& bands, int level)
{
    std::vector<uchar> out { 0x78, zlibFlags(level) };
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

// The zlib stream of the image, its bands of rows deflated side by side.
std::optional<std::vector<uchar>> compressedImage(const Pixels& pixels, const EncodeOptions& options)
{
    const size_t rowsBytes = (pixels.rowBytes() + 1) * size_t(pixels.height);
    const int bandCount = int(std::clamp<size_t>(
        rowsBytes / minBandBytes, 1, size_t(std::max(1, std::min(options.maxThreads, pixels.height)))));
    std::vector<Band> bands(static_cast<size_t>(bandCount));
    for (int i = 0; i < bandCount; ++i) {
        bands[size_t(i)].firstRow = int(qint64(pixels.height) * i / bandCount);
        bands[size_t(i)].endRow = int(qint64(pixels.height) * (i + 1) / bandCount);
    }
    std::latch helped(bandCount - 1);
    for (int i = 1; i < bandCount; ++i) {
        bandWorkers().start([&, i] {
            deflateBand(pixels, options, i == bandCount - 1, bands[size_t(i)]);
            helped.count_down();
        });
    }
    deflateBand(pixels, options, bandCount == 1, bands[0]);
    helped.wait();
    if (auto joined = joinedBands(bands, options.level))
        return joined;
    if (bandCount == 1)
        return std::nullopt;
    qCWarning(lcPlatform) << "PNG bands could not be joined; deflating the image as one stream";
    std::vector<Band> whole(1);
    whole[0].endRow = pixels.height;
    deflateBand(pixels, options, true, whole[0]);
    return joinedBands(whole, options.level);
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
    const int width = image.width();
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const quint32*>(image.constScanLine(y));
        quint32 all = 0xffffffffu;
        for (int x = 0; x < width; ++x)
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

std::optional<QByteArray> encodeScreenshot(const QImage& image)
{
    // An image deflated in one band costs little at any level; one more step of
    // effort keeps such window shots about as small as libpng's at level 6, which
    // level 6 here misses on some.
    EncodeOptions options;
    if (size_t(image.width()) * size_t(image.height()) * 3 < 2 * minBandBytes)
        options.level = 7;
    return encode(image, options);
}

} // namespace zova::png
