#include "platform/png/DeflateStream.h"

#include <QtEndian>

#include <algorithm>
#include <array>

namespace zova::png {

namespace {

constexpr int maxCodeLength = 15;
constexpr int literalSymbols = 288;
constexpr int endOfBlock = 256;
constexpr int lengthCodes = 29;
constexpr int distanceCodes = 30;

// Reads bits least significant first, through a 64-bit buffer refilled a word at
// a time. Past the end it reads zeros; overran() then tells so.
class BitReader {
public:
    explicit BitReader(std::span<const std::uint8_t> bytes)
        : m_bytes(bytes)
    {
    }

    // The next `count` (at most 32) bits, not consumed.
    std::uint32_t peek(int count)
    {
        if (m_count < count)
            refill();
        return std::uint32_t(m_buffer & ((std::uint64_t(1) << count) - 1));
    }
    void skip(std::size_t count)
    {
        if (count <= std::size_t(m_count)) {
            m_buffer >>= count;
            m_count -= int(count);
            m_position += count;
        } else {
            seek(m_position + count);
        }
    }
    std::uint32_t take(int count)
    {
        const std::uint32_t value = peek(count);
        skip(std::size_t(count));
        return value;
    }
    void alignToByte() { skip((8 - m_position % 8) % 8); }
    std::size_t position() const { return m_position; }
    bool overran() const { return m_position > m_bytes.size() * 8; }

private:
    // Tops the buffer up to at least 56 bits. The bits above the count may hold the
    // next byte's first bits: they are the stream's own, so or-ing that byte in
    // again later leaves them as they are.
    void refill()
    {
        if (m_next + 8 <= m_bytes.size()) {
            m_buffer |= qFromLittleEndian<quint64>(m_bytes.data() + m_next) << m_count;
            m_next += std::size_t(63 - m_count) / 8;
            m_count |= 56;
            return;
        }
        while (m_count <= 56) {
            const std::uint64_t byte = m_next < m_bytes.size() ? m_bytes[m_next] : 0;
            m_buffer |= byte << m_count;
            ++m_next;
            m_count += 8;
        }
    }
    void seek(std::size_t bit)
    {
        m_position = bit;
        m_next = bit / 8;
        m_buffer = 0;
        m_count = 0;
        refill();
        m_buffer >>= bit % 8;
        m_count -= int(bit % 8);
    }

    std::span<const std::uint8_t> m_bytes;
    std::uint64_t m_buffer = 0;
    int m_count = 0; // bits in the buffer
    std::size_t m_next = 0; // the next byte to load
    std::size_t m_position = 0; // bits consumed
};

// A canonical Huffman code of the kind deflate sends, decoded through a table for
// short code words and one bit at a time for the longer (rare) ones.
class HuffmanCode {
public:
    // From each symbol's code word length (0: unused). False when the lengths are
    // more than a prefix code can hold.
    bool build(std::span<const std::uint8_t> lengths)
    {
        if (lengths.size() > m_symbols.size())
            return false;
        m_count.fill(0);
        for (const std::uint8_t length : lengths) {
            if (length > maxCodeLength)
                return false;
            ++m_count[length];
        }
        m_count[0] = 0;
        int left = 1;
        for (int length = 1; length <= maxCodeLength; ++length) {
            left = left * 2 - m_count[size_t(length)];
            if (left < 0)
                return false;
        }
        std::array<std::uint16_t, maxCodeLength + 2> offsets {};
        for (int length = 1; length <= maxCodeLength; ++length)
            offsets[size_t(length) + 1] = std::uint16_t(offsets[size_t(length)] + m_count[size_t(length)]);
        for (std::size_t symbol = 0; symbol < lengths.size(); ++symbol) {
            if (lengths[symbol])
                m_symbols[offsets[lengths[symbol]]++] = std::uint16_t(symbol);
        }
        // Code words are sent highest bit first, so the table is indexed by their reversal.
        m_fast.fill(0);
        std::uint32_t code = 0;
        std::size_t index = 0;
        for (int length = 1; length <= fastBits; ++length, code <<= 1) {
            for (int i = 0; i < m_count[size_t(length)]; ++i, ++code, ++index) {
                std::uint32_t reversed = 0;
                for (int bit = 0; bit < length; ++bit)
                    reversed |= ((code >> bit) & 1) << (length - 1 - bit);
                const auto entry = std::uint16_t(m_symbols[index] << 4 | length);
                for (std::uint32_t at = reversed; at < m_fast.size(); at += std::uint32_t(1) << length)
                    m_fast[at] = entry;
            }
        }
        return true;
    }

    // The next symbol, or -1 when the bits start no code word of this code.
    int decode(BitReader& bits) const
    {
        const std::uint32_t next = bits.peek(maxCodeLength);
        if (const std::uint16_t entry = m_fast[next & (m_fast.size() - 1)]) {
            bits.skip(entry & 15u);
            return entry >> 4;
        }
        int code = 0;
        int first = 0;
        int index = 0;
        for (int length = 1; length <= maxCodeLength; ++length, code <<= 1) {
            code |= int((next >> (length - 1)) & 1);
            const int count = m_count[size_t(length)];
            if (code - first < count) {
                bits.skip(std::size_t(length));
                return m_symbols[size_t(index + code - first)];
            }
            index += count;
            first = (first + count) << 1;
        }
        return -1;
    }

private:
    static constexpr int fastBits = 10;
    std::array<std::uint16_t, 1 << fastBits> m_fast {}; // symbol << 4 | length; 0 for longer code words
    std::array<std::uint16_t, maxCodeLength + 1> m_count {};
    std::array<std::uint16_t, literalSymbols> m_symbols {}; // in code word order
};

const HuffmanCode& fixedLiterals()
{
    static const HuffmanCode code = [] {
        std::array<std::uint8_t, literalSymbols> lengths {};
        std::fill(lengths.begin(), lengths.begin() + 144, 8);
        std::fill(lengths.begin() + 144, lengths.begin() + 256, 9);
        std::fill(lengths.begin() + 256, lengths.begin() + 280, 7);
        std::fill(lengths.begin() + 280, lengths.end(), 8);
        HuffmanCode c;
        c.build(lengths);
        return c;
    }();
    return code;
}

const HuffmanCode& fixedDistances()
{
    static const HuffmanCode code = [] {
        std::array<std::uint8_t, 32> lengths {};
        lengths.fill(5);
        HuffmanCode c;
        c.build(lengths);
        return c;
    }();
    return code;
}

// The two codes of a dynamic block, from its header.
bool readDynamicCodes(BitReader& bits, HuffmanCode& literals, HuffmanCode& distances)
{
    const int literalCount = int(bits.take(5)) + 257;
    const int distanceCount = int(bits.take(5)) + 1;
    const int lengthCodeCount = int(bits.take(4)) + 4;
    if (literalCount > 286 || distanceCount > distanceCodes)
        return false;
    static constexpr std::array<std::uint8_t, 19> order { 16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1,
        15 };
    std::array<std::uint8_t, 19> lengthLengths {};
    for (int i = 0; i < lengthCodeCount; ++i)
        lengthLengths[order[size_t(i)]] = std::uint8_t(bits.take(3));
    HuffmanCode lengthCode;
    if (!lengthCode.build(lengthLengths))
        return false;

    std::array<std::uint8_t, 286 + distanceCodes> lengths {};
    const int total = literalCount + distanceCount;
    for (int i = 0; i < total;) {
        const int symbol = lengthCode.decode(bits);
        if (symbol < 0 || bits.overran())
            return false;
        if (symbol < 16) {
            lengths[size_t(i++)] = std::uint8_t(symbol);
            continue;
        }
        std::uint8_t value = 0;
        int repeat = 0;
        if (symbol == 16) {
            if (i == 0)
                return false;
            value = lengths[size_t(i - 1)];
            repeat = 3 + int(bits.take(2));
        } else if (symbol == 17) {
            repeat = 3 + int(bits.take(3));
        } else {
            repeat = 11 + int(bits.take(7));
        }
        if (i + repeat > total)
            return false;
        std::fill_n(lengths.begin() + i, repeat, value);
        i += repeat;
    }
    if (lengths[endOfBlock] == 0)
        return false;
    const std::span<const std::uint8_t> all(lengths.data(), size_t(total));
    return literals.build(all.first(size_t(literalCount))) && distances.build(all.subspan(size_t(literalCount)));
}

int lengthExtraBits(int lengthCode) { return lengthCode < 8 || lengthCode == 28 ? 0 : lengthCode / 4 - 1; }

int distanceExtraBits(int distanceCode) { return distanceCode < 4 ? 0 : distanceCode / 2 - 1; }

// Reads a block's codes up to and including its end-of-block code.
bool skipCodedData(BitReader& bits, const HuffmanCode& literals, const HuffmanCode& distances)
{
    for (;;) {
        const int symbol = literals.decode(bits);
        if (symbol < 0 || bits.overran())
            return false;
        if (symbol < endOfBlock)
            continue;
        if (symbol == endOfBlock)
            return true;
        const int lengthCode = symbol - endOfBlock - 1;
        if (lengthCode >= lengthCodes)
            return false;
        bits.skip(std::size_t(lengthExtraBits(lengthCode)));
        const int distance = distances.decode(bits);
        if (distance < 0 || distance >= distanceCodes)
            return false;
        bits.skip(std::size_t(distanceExtraBits(distance)));
    }
}

} // namespace

std::optional<DeflateLayout> deflateLayout(std::span<const std::uint8_t> stream)
{
    BitReader bits(stream);
    HuffmanCode literals;
    HuffmanCode distances;
    for (;;) {
        const std::size_t header = bits.position();
        const bool last = bits.take(1) != 0;
        switch (bits.take(2)) {
        case 0: {
            bits.alignToByte();
            const std::uint32_t length = bits.take(16);
            if ((bits.take(16) ^ 0xffffu) != length)
                return std::nullopt;
            bits.skip(std::size_t(length) * 8);
            break;
        }
        case 1:
            if (!skipCodedData(bits, fixedLiterals(), fixedDistances()))
                return std::nullopt;
            break;
        case 2:
            if (!readDynamicCodes(bits, literals, distances) || !skipCodedData(bits, literals, distances))
                return std::nullopt;
            break;
        default: return std::nullopt;
        }
        if (bits.overran())
            return std::nullopt;
        if (last) {
            if ((bits.position() + 7) / 8 != stream.size())
                return std::nullopt;
            return DeflateLayout { header, bits.position() };
        }
    }
}

bool appendContinued(std::vector<std::uint8_t>& out, std::span<const std::uint8_t> stream)
{
    const std::optional<DeflateLayout> layout = deflateLayout(stream);
    if (!layout)
        return false;
    const std::size_t start = out.size();
    out.insert(out.end(), stream.begin(), stream.end());
    out[start + layout->lastBlockBit / 8] &= std::uint8_t(~(1u << (layout->lastBlockBit % 8)));
    // The empty stored block: a header of three zero bits where the last block
    // ended, zeros to the byte boundary, then its length 0 and the length's complement.
    if (const std::size_t bitsInLastByte = layout->endBit % 8)
        out[start + layout->endBit / 8] &= std::uint8_t((1u << bitsInLastByte) - 1);
    out.resize(start + (layout->endBit + 3 + 7) / 8, 0);
    out.insert(out.end(), { 0x00, 0x00, 0xff, 0xff });
    return true;
}

} // namespace zova::png
