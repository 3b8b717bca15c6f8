// A decoded movie: its characters by id and its timelines as frames of control tags, built once from the
// file (or again as more bytes of a streamed file arrive).
#pragma once

#include "swf/audio/soundtags.h"
#include "swf/format/bitmap.h"
#include "swf/format/edittext.h"
#include "swf/format/header.h"
#include "swf/format/place.h"
#include "swf/format/shape.h"
#include "swf/format/text.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace swf {

struct ControlTag {
    enum class Kind : std::uint8_t { Place, Remove, Actions, InitActions, StartSound };
    Kind kind = Kind::Place;
    PlaceObject place;                  // Place
    std::uint16_t depth = 0;            // Remove; InitActions: the sprite they initialise
    std::vector<std::uint8_t> actions;  // Actions and InitActions: the script's body
    std::shared_ptr<const audio::StartSoundTag> sound;  // StartSound
};

struct Frame {
    std::vector<ControlTag> tags;
    std::vector<std::uint8_t> streamBlock;  // the body of the frame's SoundStreamBlock, if any
};

struct Timeline {
    std::vector<Frame> frames;
    // Tags after the last ShowFrame: they run once when the playhead stops at the end rather than loop.
    Frame trailing;
    bool ended = false;  // the End tag was read: only such a timeline of more than one frame loops
    std::shared_ptr<const audio::SoundStreamHeadTag> streamHead;  // the timeline's stream sound, if any
    std::map<std::string, std::size_t> labels;  // frame label (lower case) to frame index
    // The frame index with the label, compared without regard to case; -1 when there is none.
    long frameOfLabel(const std::string& label) const;
};

struct Sprite {
    std::uint16_t id = 0;
    Timeline timeline;
};

enum class CharacterKind : std::uint8_t { Shape, Morph, Sprite, Font, Text, Button, Bitmap, EditText };

struct Movie;

struct Character {
    CharacterKind kind = CharacterKind::Shape;
    std::shared_ptr<const Shape> shape;
    std::shared_ptr<const MorphShape> morph;
    std::shared_ptr<const Sprite> sprite;
    std::shared_ptr<const Font> font;
    std::shared_ptr<const StaticText> text;
    std::shared_ptr<const Button> button;
    std::shared_ptr<const Bitmap> bitmap;
    std::shared_ptr<const EditText> editText;
    // The movie an imported character comes from: the ids its own timeline and text refer to are that
    // movie's. Null for the movie's own characters.
    std::shared_ptr<const Movie> library;
};

// Symbols a movie takes from another movie's exports (ImportAssets): the other movie's address and, for
// each symbol, its export name and the id it has in the importing movie.
struct AssetImport {
    std::string url;
    std::vector<std::pair<std::string, std::uint16_t>> symbols;
};

struct MovieStats {
    std::size_t tags = 0;
    std::size_t skippedTags = 0;  // tags the engine does not use (yet), by count
    std::size_t damagedTags = 0;  // tags whose body could not be decoded
    std::size_t scripts = 0;      // DoAction blocks
    std::size_t skippedScripts = 0;  // DoAction blocks the player cannot run (none since scripts run)
    std::map<std::uint16_t, std::size_t> skippedByCode;
};

struct Movie {
    Header header;
    Rgba background{255, 255, 255, 255};
    bool actionScript3 = false;
    int maxRecursionDepth = 0;  // ScriptLimits; 0 leaves the engine's own limit
    std::unordered_map<std::uint16_t, Character> characters;
    // Nine-slice grids by character id (DefineScalingGrid); drawn unscaled for now.
    std::unordered_map<std::uint16_t, Rect> scalingGrids;
    std::unordered_map<std::uint16_t, std::shared_ptr<const audio::DefineSoundTag>> sounds;
    // Characters exported by name (ExportAssets), for attachMovie and Sound.attachSound.
    std::map<std::string, std::uint16_t> exports;
    std::vector<AssetImport> imports;
    std::shared_ptr<const Timeline> root;
    std::size_t framesLoaded = 0;  // complete frames of the root timeline
    bool complete = false;         // the End tag of the root timeline was read
    MovieStats stats;
    std::vector<std::string> problems;

    const Character* character(std::uint16_t id) const;
    // The character exported under a name (exact first, then without regard to case); 0 when none.
    std::uint16_t exported(const std::string& name) const;
};

// Builds the movie from a parsed container; never fails (damage is counted and skipped).
std::shared_ptr<const Movie> buildMovie(const SwfFile& file);

}  // namespace swf
