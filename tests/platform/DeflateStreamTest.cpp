#include "platform/png/DeflateStream.h"

#include <libdeflate.h>
#include <zlib.h>

#include <QByteArray>

#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>
#include <vector>

using namespace zova;

namespace {

using Bytes = std::vector<std::uint8_t>;

// Text-like bytes with repeats near and far, so the compressors use every kind of code.
Bytes sample(size_t length, std::uint32_t seed)
{
    Bytes out;
    out.reserve(length);
    std::uint32_t state = seed;
    while (out.size() < length) {
        state = state * 1664525u + 1013904223u;
        if ((state >> 28) < 5 && out.size() > 300) {
            const size_t distance = 1 + (state >> 8) % std::min<size_t>(out.size(), 30000);
            const size_t run = 3 + (state >> 3) % 200;
            for (size_t i = 0; i < run && out.size() < length; ++i)
                out.push_back(out[out.size() - distance]);
        } else {
            out.push_back(std::uint8_t('a' + (state >> 24) % 26));
        }
    }
    return out;
}

Bytes libdeflateStream(const Bytes& data, int level)
{
    libdeflate_compressor* c = libdeflate_alloc_compressor(level);
    Bytes out(libdeflate_deflate_compress_bound(c, data.size()));
    out.resize(libdeflate_deflate_compress(c, data.data(), data.size(), out.data(), out.size()));
    libdeflate_free_compressor(c);
    return out;
}

// zlib's raw deflate; `strategy` Z_FIXED gives fixed-code blocks only, and a flush
// every `flushEvery` bytes gives many blocks with stored ones between.
Bytes zlibStream(const Bytes& data, int level, int strategy, size_t flushEvery = 0)
{
    z_stream z {};
    deflateInit2(&z, level, Z_DEFLATED, -MAX_WBITS, 8, strategy);
    Bytes out(deflateBound(&z, uLong(data.size())) + 64 * (flushEvery ? data.size() / flushEvery + 1 : 1));
    z.next_out = out.data();
    z.avail_out = uInt(out.size());
    size_t at = 0;
    do {
        const size_t piece = flushEvery ? std::min(flushEvery, data.size() - at) : data.size() - at;
        z.next_in = const_cast<std::uint8_t*>(data.data() + at);
        z.avail_in = uInt(piece);
        at += piece;
        deflate(&z, at == data.size() ? Z_FINISH : Z_FULL_FLUSH);
    } while (at < data.size());
    out.resize(out.size() - z.avail_out);
    deflateEnd(&z);
    return out;
}

// What a raw deflate stream decodes to, by zlib; nothing when zlib refuses it or
// bytes are left over.
std::optional<Bytes> inflated(const Bytes& stream, size_t expected)
{
    z_stream z {};
    inflateInit2(&z, -MAX_WBITS);
    Bytes out(expected + 1);
    z.next_in = const_cast<std::uint8_t*>(stream.data());
    z.avail_in = uInt(stream.size());
    z.next_out = out.data();
    z.avail_out = uInt(out.size());
    const int rc = inflate(&z, Z_FINISH);
    const bool whole = rc == Z_STREAM_END && z.avail_in == 0;
    out.resize(out.size() - z.avail_out);
    inflateEnd(&z);
    return whole ? std::optional(out) : std::nullopt;
}

struct Producer {
    const char* what;
    std::function<Bytes(const Bytes&)> compress;
};

const std::vector<Producer>& producers()
{
    static const std::vector<Producer> list {
        { "libdeflate 0, stored", [](const Bytes& d) { return libdeflateStream(d, 0); } },
        { "libdeflate 1", [](const Bytes& d) { return libdeflateStream(d, 1); } },
        { "libdeflate 6", [](const Bytes& d) { return libdeflateStream(d, 6); } },
        { "libdeflate 12", [](const Bytes& d) { return libdeflateStream(d, 12); } },
        { "zlib fixed codes", [](const Bytes& d) { return zlibStream(d, 6, Z_FIXED); } },
        { "zlib, flushed in pieces", [](const Bytes& d) { return zlibStream(d, 6, Z_DEFAULT_STRATEGY, 5000); } },
        { "zlib stored, flushed", [](const Bytes& d) { return zlibStream(d, 0, Z_DEFAULT_STRATEGY, 70000); } },
    };
    return list;
}

} // namespace

TEST(DeflateStreamTest, PartsJoinIntoOneStreamThatDecodesToAllTheirData)
{
    const size_t lengths[] = { 0, 1, 2, 10, 257, 4000, 33000, 140000, 400000 };
    std::set<size_t> endBitsSeen;
    for (const Producer& producer : producers()) {
        for (size_t length : lengths) {
            SCOPED_TRACE(std::string(producer.what) + ", " + std::to_string(length) + " bytes");
            const Bytes first = sample(length, std::uint32_t(length) + 1);
            const Bytes second = sample(length / 2 + 100, 77);
            const Bytes third = sample(3000, 5);
            Bytes joined;
            for (const Bytes* part : { &first, &second }) {
                const Bytes stream = producer.compress(*part);
                const auto layout = png::deflateLayout(stream);
                ASSERT_TRUE(layout.has_value());
                endBitsSeen.insert(layout->endBit % 8);
                ASSERT_TRUE(png::appendContinued(joined, stream));
            }
            const Bytes last = producer.compress(third);
            joined.insert(joined.end(), last.begin(), last.end());

            Bytes all = first;
            all.insert(all.end(), second.begin(), second.end());
            all.insert(all.end(), third.begin(), third.end());
            const auto decoded = inflated(joined, all.size());
            ASSERT_TRUE(decoded.has_value());
            EXPECT_EQ(*decoded, all);
        }
    }
    // Each way a part can end in its last byte, and so each way the stored block is placed.
    EXPECT_EQ(endBitsSeen.size(), 8u);
}

TEST(DeflateStreamTest, LayoutOfAKnownStream)
{
    // One fixed-code block holding only its end-of-block code: the last-block bit,
    // the type 01, seven zero bits.
    const auto layout = png::deflateLayout(Bytes { 0x03, 0x00 });
    ASSERT_TRUE(layout.has_value());
    EXPECT_EQ(layout->lastBlockBit, 0u);
    EXPECT_EQ(layout->endBit, 10u);

    // A stored block that is not the last (the bytes 'a', 'b'), then that same empty block.
    const auto two = png::deflateLayout(Bytes { 0x00, 0x02, 0x00, 0xfd, 0xff, 'a', 'b', 0x03, 0x00 });
    ASSERT_TRUE(two.has_value());
    EXPECT_EQ(two->lastBlockBit, 7u * 8);
    EXPECT_EQ(two->endBit, 7u * 8 + 10);
}

TEST(DeflateStreamTest, MalformedStreamsAreRefusedAndLeaveTheOutputAsItWas)
{
    const Bytes good = libdeflateStream(sample(50000, 3), 6);
    const Bytes stored = libdeflateStream(sample(500, 3), 0);
    Bytes truncated(good.begin(), good.end() - 1);
    Bytes trailing = good;
    trailing.push_back(0);
    Bytes notLast = Bytes { 0x02, 0x00 }; // a fixed-code block with no last-block bit, then nothing
    Bytes reservedType = Bytes { 0x07, 0x00 }; // block type 11
    Bytes badStoredLength = stored;
    badStoredLength[3] ^= 0x01; // the length's complement no longer matches
    struct Case {
        const char* what;
        Bytes stream;
    };
    const Case cases[] = {
        { "empty", {} },
        { "cut short", truncated },
        { "a byte after the end", trailing },
        { "no last block", notLast },
        { "reserved block type", reservedType },
        { "stored length and complement disagree", badStoredLength },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_FALSE(png::deflateLayout(c.stream).has_value());
        Bytes out { 1, 2, 3 };
        EXPECT_FALSE(png::appendContinued(out, c.stream));
        EXPECT_EQ(out, (Bytes { 1, 2, 3 }));
    }
}
