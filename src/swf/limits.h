// Limits that keep hostile movies from exhausting the machine; every guard in the engine uses these.
#pragma once

#include <cstddef>
#include <cstdint>

namespace swf::limits {

// Largest decompressed movie the engine accepts (the header's file length is checked against it).
inline constexpr std::size_t kMaxMovieBytes = std::size_t(512) * 1024 * 1024;

// Smallest sensible movie: signature, version, length, a one-byte rectangle, rate and count.
inline constexpr std::size_t kMinHeaderBytes = 8 + 1 + 2 + 2;

// LZMA ("ZWS"): the largest dictionary the decoder allocates. A declared dictionary larger than the
// movie's decompressed size is first lowered to that size (matches never reach further back than the
// start of the output), so only movies above this size whose dictionary is larger still are refused.
inline constexpr std::uint32_t kMaxLzmaDictionaryBytes = 256 * 1024 * 1024;

// Tags in one timeline before the decoder gives up on it.
inline constexpr std::size_t kMaxTagsPerTimeline = 4 * 1024 * 1024;

// Movies that import from movies that import in turn (ImportAssets): deeper chains stay unresolved,
// and so do movies that import from each other.
inline constexpr int kMaxImportNesting = 4;

// Nesting of sprites inside sprites.
inline constexpr int kMaxSpriteNesting = 64;

// Sprites and buttons one frame step (advance or goto) may create, nested ones included: a few
// containers that each place two of the next one multiply to billions within the nesting limit.
inline constexpr std::size_t kMaxClipsPerStep = 64 * 1024;

// Bitmaps: the largest side and pixel count one bitmap may have (Flash itself refuses bitmaps beyond
// 16,777,215 pixels), so a lying header cannot make a decoder allocate gigabytes.
inline constexpr std::uint32_t kMaxBitmapSide = 16384;
inline constexpr std::uint64_t kMaxBitmapPixels = std::uint64_t(16) * 1024 * 1024;

// Progressive JPEG data with thousands of scans costs minutes of decoding; real images have a dozen.
inline constexpr int kMaxJpegScans = 256;

// Working memory the JPEG decoder may use beyond the output pixels.
inline constexpr long kMaxJpegWorkBytes = 256L * 1024 * 1024;

// Sounds: the longest one sound may play once decoded (at 44.1 kHz stereo float, ten minutes are about
// 200 MB), and how many event sounds play at once (as in Flash, further ones stay silent).
inline constexpr double kMaxSoundSeconds = 600.0;
inline constexpr std::size_t kMaxSoundVoices = 32;
// Stream sound waiting to be played; more means nothing plays it out, and the oldest gives way.
inline constexpr double kMaxQueuedStreamSeconds = 10.0;

// Rendered images: the largest side and pixel count of a target (an 8K frame fits; a typo in a thumbnail
// size cannot ask for gigabytes). Larger requests are scaled down, keeping the aspect ratio.
inline constexpr int kMaxRenderSide = 16384;
inline constexpr std::int64_t kMaxRenderPixels = std::int64_t(64) * 1024 * 1024;
// Offscreen pictures up to this size are anti-aliased by four samples per pixel (four paintings);
// larger ones use the faster single painting.
inline constexpr std::int64_t kMaxMultisampledPixels = std::int64_t(1024) * 1024;
// Pixels a layer with filters reaches beyond the target on each side (blurs and shadows spread in).
inline constexpr int kMaxFilterReach = 1024;
// The widest blur box a filter uses, in pixels (Flash stops at 255).
inline constexpr double kMaxFilterBlur = 255;

// Frame scripts run in one tick before the rest are dropped (a goto loop between frames ends here).
inline constexpr std::size_t kMaxActionBlocksPerFrame = 1024;
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

// ActionScript: the highest frame index WaitForFrame can find loaded (Flash's limit of 16,000 frames and one).
inline constexpr int kAvm1MaxWaitFrame = 16000;
// An interval shorter than the time the clock moved fires again in the same step, at most this many times;
// a backlog beyond that is dropped.
inline constexpr int kAvm1MaxTimerRounds = 10;

// ActionScript: bytes one SharedObject may keep on disk, and how deeply its data may nest.
inline constexpr std::size_t kAvm1MaxSharedObjectBytes = 1024 * 1024;
inline constexpr int kAvm1MaxSharedObjectDepth = 64;

// Text fields: characters and lines laid out at most (text set by script can be any length).
inline constexpr std::size_t kMaxTextFieldCharacters = 64 * 1024;
inline constexpr std::size_t kMaxTextFieldLines = 4096;
// Tags open at once in a field's HTML text; deeper ones change nothing.
inline constexpr std::size_t kMaxHtmlNesting = 256;
// Converted glyphs of system fonts kept at once (a movie cycling through all of Unicode starts over).
inline constexpr std::size_t kMaxDeviceGlyphs = 16 * 1024;

// Depths scripts may give clips (as scripts count them, the lowest timeline depth at -16384); clips may be
// removed by script from depth 0 up to, but not including, kMaxRemovableScriptDepth.
inline constexpr std::int32_t kMinScriptDepth = -16384;
inline constexpr std::int32_t kMaxScriptDepth = 2130690044;
inline constexpr std::int32_t kMaxRemovableScriptDepth = 2130690032;

}  // namespace swf::limits
