// Text fields (DefineEditText): their bounds, flags, font, format and initial text as the movie states them.
#pragma once

#include "swf/format/header.h"
#include "swf/format/styles.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace swf {

enum class TextAlign : std::uint8_t { Left = 0, Right = 1, Center = 2, Justify = 3 };

struct EditText {
    std::uint16_t id = 0;
    Rect bounds;
    bool wordWrap = false, multiline = false, password = false, readOnly = false;
    bool border = false, html = false, useOutlines = false, autoSize = false, noSelect = false;
    bool wasStatic = false;
    bool hasFont = false, hasColour = false, hasMaxLength = false, hasLayout = false, hasText = false;
    std::uint16_t fontId = 0;
    std::string fontClass;  // a font exported by name, instead of an id
    std::uint16_t height = 0;  // twips
    Rgba colour{0, 0, 0, 255};
    std::uint16_t maxLength = 0;
    TextAlign align = TextAlign::Left;
    std::uint16_t leftMargin = 0, rightMargin = 0;  // twips
    std::int16_t indent = 0, leading = 0;  // twips; both may be negative
    std::string variableName;
    std::string initialText;  // UTF-8 (older movies' Latin-1 text is converted)
};

// Decodes a DefineEditText body; fields cut off by the end of the body keep their defaults.
EditText decodeEditText(const std::uint8_t* body, std::size_t size, int swfVersion);

}  // namespace swf
