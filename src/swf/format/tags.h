// The tag stream: record headers (code and length, short and long form) and the names of tag codes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace swf {

namespace tag {
enum Code : std::uint16_t {
    End = 0,
    ShowFrame = 1,
    DefineShape = 2,
    PlaceObject = 4,
    RemoveObject = 5,
    DefineBits = 6,
    DefineButton = 7,
    JPEGTables = 8,
    SetBackgroundColor = 9,
    DefineFont = 10,
    DefineText = 11,
    DoAction = 12,
    DefineFontInfo = 13,
    DefineSound = 14,
    StartSound = 15,
    DefineButtonSound = 17,
    SoundStreamHead = 18,
    SoundStreamBlock = 19,
    DefineBitsLossless = 20,
    DefineBitsJPEG2 = 21,
    DefineShape2 = 22,
    DefineButtonCxform = 23,
    Protect = 24,
    PlaceObject2 = 26,
    RemoveObject2 = 28,
    DefineShape3 = 32,
    DefineText2 = 33,
    DefineButton2 = 34,
    DefineBitsJPEG3 = 35,
    DefineBitsLossless2 = 36,
    DefineEditText = 37,
    DefineSprite = 39,
    ProductInfo = 41,
    FrameLabel = 43,
    SoundStreamHead2 = 45,
    DefineMorphShape = 46,
    DefineFont2 = 48,
    ExportAssets = 56,
    ImportAssets = 57,
    EnableDebugger = 58,
    DoInitAction = 59,
    DefineVideoStream = 60,
    VideoFrame = 61,
    DefineFontInfo2 = 62,
    DebugID = 63,
    EnableDebugger2 = 64,
    ScriptLimits = 65,
    SetTabIndex = 66,
    FileAttributes = 69,
    PlaceObject3 = 70,
    ImportAssets2 = 71,
    DoAbcDefine = 72,
    DefineFontAlignZones = 73,
    CSMTextSettings = 74,
    DefineFont3 = 75,
    SymbolClass = 76,
    Metadata = 77,
    DefineScalingGrid = 78,
    DoABC = 82,
    DefineShape4 = 83,
    DefineMorphShape2 = 84,
    DefineSceneAndFrameLabelData = 86,
    DefineBinaryData = 87,
    DefineFontName = 88,
    StartSound2 = 89,
    DefineBitsJPEG4 = 90,
    DefineFont4 = 91,
    EnableTelemetry = 93,
    PlaceObject4 = 94,
};
}  // namespace tag

// The tag's name as the SWF file format documents it, or "Unknown".
const char* tagName(std::uint16_t code);

// True for tags that define a character (shape, bitmap, font, text, button, sprite, sound, video…).
bool isDefinitionTag(std::uint16_t code);

struct TagHeader {
    std::uint16_t code = 0;
    std::uint32_t length = 0;
    std::size_t offset = 0;      // where the record header starts
    std::size_t bodyOffset = 0;  // where the tag's body starts
};

// Walks the tag records of one timeline. A record that claims more bytes than remain ends the walk
// and is reported as damage; the End tag ends it normally.
class TagStream {
public:
    TagStream(const std::uint8_t* data, std::size_t size, std::size_t start)
        : m_data(data), m_size(size), m_pos(start) {}

    // The next record, or false at End, at the end of the data, or at damage.
    bool next(TagHeader& tag);
    bool sawEnd() const { return m_sawEnd; }
    bool damaged() const { return !m_problem.empty(); }
    const std::string& problem() const { return m_problem; }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_pos;
    bool m_sawEnd = false;
    bool m_finished = false;
    std::string m_problem;
};

}  // namespace swf
