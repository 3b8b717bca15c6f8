#include "swf/format/tags.h"

#include "swf/io/bytereader.h"

#include <algorithm>
#include <iterator>

namespace swf {

namespace {

struct TagInfo {
    std::uint16_t code;
    const char* name;
    bool definition;
};

// Sorted by code for the binary search in find().
constexpr TagInfo kTags[] = {
    {0, "End", false},
    {1, "ShowFrame", false},
    {2, "DefineShape", true},
    {3, "FreeCharacter", false},
    {4, "PlaceObject", false},
    {5, "RemoveObject", false},
    {6, "DefineBits", true},
    {7, "DefineButton", true},
    {8, "JPEGTables", false},
    {9, "SetBackgroundColor", false},
    {10, "DefineFont", true},
    {11, "DefineText", true},
    {12, "DoAction", false},
    {13, "DefineFontInfo", false},
    {14, "DefineSound", true},
    {15, "StartSound", false},
    {16, "StopSound", false},
    {17, "DefineButtonSound", false},
    {18, "SoundStreamHead", false},
    {19, "SoundStreamBlock", false},
    {20, "DefineBitsLossless", true},
    {21, "DefineBitsJPEG2", true},
    {22, "DefineShape2", true},
    {23, "DefineButtonCxform", false},
    {24, "Protect", false},
    {25, "PathsArePostScript", false},
    {26, "PlaceObject2", false},
    {28, "RemoveObject2", false},
    {29, "SyncFrame", false},
    {31, "FreeAll", false},
    {32, "DefineShape3", true},
    {33, "DefineText2", true},
    {34, "DefineButton2", true},
    {35, "DefineBitsJPEG3", true},
    {36, "DefineBitsLossless2", true},
    {37, "DefineEditText", true},
    {38, "DefineVideo", true},
    {39, "DefineSprite", true},
    {40, "NameCharacter", false},
    {41, "ProductInfo", false},
    {42, "DefineTextFormat", false},
    {43, "FrameLabel", false},
    {45, "SoundStreamHead2", false},
    {46, "DefineMorphShape", true},
    {47, "GenerateFrame", false},
    {48, "DefineFont2", true},
    {49, "GeneratorCommand", false},
    {50, "DefineCommandObject", false},
    {51, "CharacterSet", false},
    {52, "ExternalFont", false},
    {56, "ExportAssets", false},
    {57, "ImportAssets", false},
    {58, "EnableDebugger", false},
    {59, "DoInitAction", false},
    {60, "DefineVideoStream", true},
    {61, "VideoFrame", false},
    {62, "DefineFontInfo2", false},
    {63, "DebugID", false},
    {64, "EnableDebugger2", false},
    {65, "ScriptLimits", false},
    {66, "SetTabIndex", false},
    {69, "FileAttributes", false},
    {70, "PlaceObject3", false},
    {71, "ImportAssets2", false},
    {72, "DoABCDefine", false},
    {73, "DefineFontAlignZones", false},
    {74, "CSMTextSettings", false},
    {75, "DefineFont3", true},
    {76, "SymbolClass", false},
    {77, "Metadata", false},
    {78, "DefineScalingGrid", false},
    {82, "DoABC", false},
    {83, "DefineShape4", true},
    {84, "DefineMorphShape2", true},
    {86, "DefineSceneAndFrameLabelData", false},
    {87, "DefineBinaryData", true},
    {88, "DefineFontName", false},
    {89, "StartSound2", false},
    {90, "DefineBitsJPEG4", true},
    {91, "DefineFont4", true},
    {93, "EnableTelemetry", false},
    {94, "PlaceObject4", false},
};

const TagInfo* find(std::uint16_t code)
{
    auto it = std::lower_bound(std::begin(kTags), std::end(kTags), code,
                               [](const TagInfo& info, std::uint16_t c) { return info.code < c; });
    if (it == std::end(kTags) || it->code != code)
        return nullptr;
    return it;
}

}  // namespace

const char* tagName(std::uint16_t code)
{
    const TagInfo* info = find(code);
    return info ? info->name : "Unknown";
}

bool isDefinitionTag(std::uint16_t code)
{
    const TagInfo* info = find(code);
    return info && info->definition;
}

bool TagStream::next(TagHeader& tag)
{
    if (m_finished || m_pos >= m_size) {
        m_finished = true;
        return false;
    }
    ByteReader reader(m_data, m_size);
    reader.seek(m_pos);
    std::uint16_t codeAndLength = reader.u16();
    std::uint32_t length = codeAndLength & 0x3f;
    if (length == 0x3f)
        length = reader.u32();
    if (reader.overrun()) {
        m_problem = "tag header cut off at offset " + std::to_string(m_pos);
        m_finished = true;
        return false;
    }
    tag.code = codeAndLength >> 6;
    tag.length = length;
    tag.offset = m_pos;
    tag.bodyOffset = reader.position();
    if (length > reader.remaining()) {
        m_problem = std::string(tagName(tag.code)) + " tag at offset " + std::to_string(m_pos) + " claims "
            + std::to_string(length) + " bytes, only " + std::to_string(reader.remaining()) + " remain";
        m_finished = true;
        return false;
    }
    m_pos = tag.bodyOffset + length;
    if (tag.code == tag::End) {
        m_sawEnd = true;
        m_finished = true;
    }
    return true;
}

}  // namespace swf
