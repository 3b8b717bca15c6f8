// Fonts (DefineFont 1-3, DefineFontInfo 1-2), static text (DefineText 1-2) and buttons (DefineButton 1-2).
#pragma once

#include "swf/format/header.h"
#include "swf/format/place.h"
#include "swf/format/shape.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace swf {

struct Font {
    std::uint16_t id = 0;
    std::string name;
    bool bold = false, italic = false;
    // Glyph outlines are drawn in an em square of 1024 units; DefineFont3 uses 20 times finer units.
    double emSquare = 1024;
    std::vector<Shape> glyphs;
    std::vector<std::uint16_t> codes;  // character code per glyph (from the font or a DefineFontInfo)
    std::vector<std::uint16_t> advances;
    double ascent = 0, descent = 0, leading = 0;
};

struct GlyphEntry {
    std::uint32_t index = 0;
    std::int32_t advance = 0;
};

struct TextRecord {
    std::uint16_t fontId = 0;
    Rgba colour;
    double x = 0, y = 0;  // pen position at the first glyph, twips
    std::uint16_t height = 0;
    std::vector<GlyphEntry> glyphs;
};

struct StaticText {
    std::uint16_t id = 0;
    Rect bounds;
    Matrix matrix;
    std::vector<TextRecord> records;
    // CSMTextSettings chose the advanced (FlashType) rendering, which exact hit tests meet at the whole bounds.
    bool advanced = false;
};

struct ButtonRecord {
    bool up = false, over = false, down = false, hitTest = false;
    std::uint16_t characterId = 0;
    std::uint16_t depth = 0;
    Matrix matrix;
    ColorTransform colorTransform;
    BlendMode blendMode = BlendMode::Normal;
    std::vector<Filter> filters;
};

// Button state transitions an action answers (the low 9 bits) and its key (bits 9-15), as DefineButton2 stores them.
namespace buttoncond {
inline constexpr std::uint16_t RollOver = 0x01, RollOut = 0x02, Press = 0x04, Release = 0x08, DragOut = 0x10,
                               DragOver = 0x20, ReleaseOutside = 0x40, OutsideToDownOver = 0x80,
                               DownToIdle = 0x100;
inline int keyCode(std::uint16_t conditions) { return conditions >> 9; }
}  // namespace buttoncond

struct ButtonAction {
    std::uint16_t conditions = 0;
    std::vector<std::uint8_t> actions;
};

struct Button {
    std::uint16_t id = 0;
    bool trackAsMenu = false;
    std::vector<ButtonRecord> records;
    std::vector<ButtonAction> actions;
};

// fontVersion 1-3 for DefineFont, DefineFont2, DefineFont3.
Font decodeFont(const std::uint8_t* body, std::size_t size, int fontVersion);
// Adds a DefineFontInfo (version 1) or DefineFontInfo2 (version 2) body to its font.
void applyFontInfo(Font& font, const std::uint8_t* body, std::size_t size, int infoVersion);
// The font id a DefineFontInfo body refers to.
std::uint16_t fontInfoTarget(const std::uint8_t* body, std::size_t size);
// textVersion 1 (RGB colours) or 2 (RGBA).
StaticText decodeText(const std::uint8_t* body, std::size_t size, int textVersion);
Button decodeButton(const std::uint8_t* body, std::size_t size, int buttonVersion);

}  // namespace swf
