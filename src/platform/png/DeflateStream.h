#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace zova::png {

// Where the blocks of one complete raw deflate stream (RFC 1951) lie, in bits
// from the start of its first byte, least significant bit first.
struct DeflateLayout {
    std::size_t lastBlockBit = 0; // the first header bit of the last block, the one that marks it last
    std::size_t endBit = 0; // the first bit after the last block's end-of-block code
};

// Walks the stream's blocks without producing its output. No value unless the bytes
// are one well-formed stream whose last block ends in its last byte.
std::optional<DeflateLayout> deflateLayout(std::span<const std::uint8_t> stream);

// Appends a complete raw deflate stream to `out` as a part that more deflate data
// follows: its last block is no longer marked last, and an empty stored block
// brings it to a byte boundary, where the next part's first block begins. Parts
// joined so, the last one appended as it is, decode as one stream. False, and
// `out` unchanged, when `stream` is not well-formed.
bool appendContinued(std::vector<std::uint8_t>& out, std::span<const std::uint8_t> stream);

} // namespace zova::png
