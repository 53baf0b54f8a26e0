#pragma once

#include <png.h>

#include <QByteArray>
#include <QImage>

#include <csetjmp>
#include <vector>

// libpng as its manual shows it, the reference our encoder is held to: the
// image's opaque 4-byte pixels written as RGB rows at zlib level 6 with no row
// filter, on the calling thread. libpng's own transforms drop the fourth byte and,
// for Qt's 32-bit formats on this machine, swap blue and red.
inline QByteArray libpngEncoded(const QImage& opaque)
{
    QByteArray out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    std::vector<png_bytep> rows(size_t(opaque.height()));
    for (int y = 0; y < opaque.height(); ++y)
        rows[size_t(y)] = const_cast<png_bytep>(opaque.constScanLine(y));
    const auto append = [](png_structp p, png_bytep data, png_size_t length) {
        static_cast<QByteArray*>(png_get_io_ptr(p))->append(reinterpret_cast<const char*>(data), qsizetype(length));
    };
    if (setjmp(png_jmpbuf(png)) == 0) {
        png_set_write_fn(png, &out, append, nullptr);
        png_set_compression_level(png, 6);
        png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
        png_set_IHDR(png, info, png_uint_32(opaque.width()), png_uint_32(opaque.height()), 8, PNG_COLOR_TYPE_RGB,
            PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_BASE, PNG_FILTER_TYPE_BASE);
        png_write_info(png, info);
        png_set_filler(png, 0, PNG_FILLER_AFTER);
        if (opaque.format() == QImage::Format_RGB32 || opaque.format() == QImage::Format_ARGB32
            || opaque.format() == QImage::Format_ARGB32_Premultiplied)
            png_set_bgr(png);
        png_write_image(png, rows.data());
        png_write_end(png, info);
    } else {
        out.clear();
    }
    png_destroy_write_struct(&png, &info);
    return out;
}

// The file as libpng's simplified reader decodes it, as unpremultiplied RGBA; a
// null image when libpng refuses it.
inline QImage libpngDecoded(const QByteArray& file)
{
    png_image image {};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, file.constData(), size_t(file.size())))
        return {};
    image.format = PNG_FORMAT_RGBA;
    QImage out(int(image.width), int(image.height), QImage::Format_RGBA8888);
    if (!png_image_finish_read(&image, nullptr, out.bits(), png_int_32(out.bytesPerLine()), nullptr)) {
        png_image_free(&image);
        return {};
    }
    return out;
}
