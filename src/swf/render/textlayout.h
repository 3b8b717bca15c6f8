// Text field layout: paragraphs broken into lines (word wrap, margins, indent, leading), lines aligned, each character
// placed as a glyph of an embedded font or of a device font.
#pragma once

#include "swf/format/text.h"
#include "swf/movie/edittext.h"
#include "swf/render/fontprovider.h"

#include <memory>
#include <vector>

namespace swf {

struct Movie;

struct PlacedGlyph {
    std::shared_ptr<const Font> font;  // an embedded font; null for device text
    std::size_t index = 0;  // the glyph in the embedded font
    DeviceFont device;  // device text only
    char32_t code = 0;
    double x = 0,
           y = 0;  // the glyph's origin on the baseline, twips in the field's space
    double scale = 0;  // twips per unit of the glyph's outline
    Rgba colour;
};

struct TextUnderline {
    double x0 = 0, x1 = 0, y = 0, thickness = 20;
    Rgba colour;
};

struct TextLayout {
    std::vector<PlacedGlyph> glyphs;
    std::vector<TextUnderline> underlines;
    std::size_t lines = 0;
    double textWidth = 0, textHeight = 0;  // twips, without the field's padding
    bool overflows = false;  // some text reaches beyond the field's bounds
};

// Twips between a field's bounds and its text on every side.
inline constexpr double kTextFieldPadding = 40;

// Lays out the field's current text; `fonts` may be null (device text then takes no room).
TextLayout layoutText(const EditTextField& field, const Movie& movie, FontProvider* fonts);

}  // namespace swf
