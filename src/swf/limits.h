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

// ActionScript: actions one frame's scripts may run before the movie's scripts are stopped.
inline constexpr std::uint64_t kAvm1ActionsPerFrame = 20'000'000;

// ActionScript: script time per frame before the scripts are stopped (as Flash asks after 15 seconds).
inline constexpr double kAvm1ScriptTimeMs = 15'000;

// ActionScript: nested function calls (Flash stops at 256 levels of recursion).
inline constexpr int kAvm1MaxCallDepth = 256;

// ActionScript: nested getter, setter and watcher calls inside one property access.
inline constexpr int kAvm1MaxGetterDepth = 64;

// ActionScript: elements of one array and bytes of one string.
inline constexpr std::size_t kAvm1MaxArrayLength = 16 * 1024 * 1024;
inline constexpr std::size_t kAvm1MaxStringBytes = 16 * 1024 * 1024;

// ActionScript: objects alive in one movie's machine.
inline constexpr std::size_t kAvm1MaxObjects = 8 * 1024 * 1024;

// ActionScript: prototype links followed before a chain is taken as a cycle.
inline constexpr int kAvm1MaxProtoChain = 256;

// ActionScript: values on one activation's stack.
inline constexpr std::size_t kAvm1MaxStack = 1024 * 1024;

}  // namespace swf::limits
