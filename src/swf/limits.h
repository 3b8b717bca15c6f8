// Limits that keep hostile movies from exhausting the machine; every guard in the engine uses these.
#pragma once

#include <cstddef>
#include <cstdint>

namespace swf::limits {

// Largest decompressed movie the engine accepts (the header's file length is checked against it).
inline constexpr std::size_t kMaxMovieBytes = std::size_t(512) * 1024 * 1024;

// Smallest sensible movie: signature, version, length, a one-byte rectangle, rate and count.
inline constexpr std::size_t kMinHeaderBytes = 8 + 1 + 2 + 2;

// Tags in one timeline before the decoder gives up on it.
inline constexpr std::size_t kMaxTagsPerTimeline = 4 * 1024 * 1024;

// Nesting of sprites inside sprites.
inline constexpr int kMaxSpriteNesting = 64;

}  // namespace swf::limits
