#include "swf/format/text.h"

#include "swf/io/bytereader.h"

#include <algorithm>

namespace swf {

namespace {

// Glyph shapes sit between consecutive offsets; offsets count from the start of the offset table.
void readGlyphs(Font& font, const std::uint8_t* table, std::size_t tableSize,
                const std::vector<std::uint32_t>& offsets, std::uint32_t end)
{
    for (std::size_t i = 0; i < offsets.size(); ++i) {
        std::uint32_t from = offsets[i];
        std::uint32_t to = i + 1 < offsets.size() ? offsets[i + 1] : end;
        to = std::min<std::uint32_t>(to, static_cast<std::uint32_t>(tableSize));
        if (from >= to) {
            font.glyphs.push_back(decodeGlyphShape(nullptr, 0));
            continue;
        }
        font.glyphs.push_back(decodeGlyphShape(table + from, to - from));
    }
}

Font decodeFont1(ByteReader& r, const std::uint8_t* body, std::size_t size)
{
    Font font;
    font.id = r.u16();
    std::size_t tableStart = r.position();
    std::uint16_t first = r.u16();
    std::size_t count = first / 2;
    std::vector<std::uint32_t> offsets{first};
    for (std::size_t i = 1; i < count && !r.overrun(); ++i)
        offsets.push_back(r.u16());
    if (count == 0)
        offsets.clear();
    std::size_t tableSize = size > tableStart ? size - tableStart : 0;
    readGlyphs(font, body + tableStart, tableSize, offsets, static_cast<std::uint32_t>(tableSize));
    return font;
}

}  // namespace

Font decodeFont(const std::uint8_t* body, std::size_t size, int fontVersion)
{
    ByteReader r(body, size);
    if (fontVersion == 1)
        return decodeFont1(r, body, size);
    Font font;
    font.id = r.u16();
    std::uint8_t flags = r.u8();
    r.u8();  // language
    std::size_t nameLength = r.u8();
    font.name.assign(reinterpret_cast<const char*>(r.current()), std::min(nameLength, r.remaining()));
    r.skip(nameLength);
    font.bold = flags & 0x01;
    font.italic = flags & 0x02;
    bool wideOffsets = flags & 0x08, wideCodes = flags & 0x04, hasLayout = flags & 0x80;
    if (fontVersion == 3)
        font.emSquare = 1024 * 20;
    std::size_t count = r.u16();
    std::size_t tableStart = r.position();
    std::vector<std::uint32_t> offsets;
    for (std::size_t i = 0; i < count && !r.overrun(); ++i)
        offsets.push_back(wideOffsets ? r.u32() : r.u16());
    std::uint32_t codeOffset = wideOffsets ? r.u32() : r.u16();
    if (r.overrun())
        return font;
    std::size_t tableSize = size - tableStart;
    readGlyphs(font, body + tableStart, tableSize, offsets, codeOffset);
    r.seek(tableStart + codeOffset);
    for (std::size_t i = 0; i < count && !r.overrun(); ++i)
        font.codes.push_back(wideCodes ? r.u16() : r.u8());
    if (hasLayout) {
        font.ascent = r.u16();
        font.descent = r.u16();
        font.leading = r.s16();
        for (std::size_t i = 0; i < count && !r.overrun(); ++i)
            font.advances.push_back(r.u16());  // Flash reads them unsigned: large advances are not negative
    }
    return font;
}

std::uint16_t fontInfoTarget(const std::uint8_t* body, std::size_t size)
{
    ByteReader r(body, size);
    return r.u16();
}

void applyFontInfo(Font& font, const std::uint8_t* body, std::size_t size, int infoVersion)
{
    ByteReader r(body, size);
    r.u16();
    std::size_t nameLength = r.u8();
    font.name.assign(reinterpret_cast<const char*>(r.current()), std::min(nameLength, r.remaining()));
    r.skip(nameLength);
    std::uint8_t flags = r.u8();
    font.bold = flags & 0x02;
    font.italic = flags & 0x04;
    if (infoVersion == 2)
        r.u8();
    font.codes.clear();
    for (std::size_t i = 0; i < font.glyphs.size() && !r.atEnd(); ++i)
        font.codes.push_back((flags & 0x01) ? r.u16() : r.u8());
}

StaticText decodeText(const std::uint8_t* body, std::size_t size, int textVersion)
{
    ByteReader r(body, size);
    StaticText text;
    text.id = r.u16();
    text.bounds = readRect(r);
    text.matrix = readMatrix(r);
    unsigned glyphBits = r.u8(), advanceBits = r.u8();
    TextRecord state;
    while (!r.overrun()) {
        std::uint8_t flags = r.u8();
        if (flags == 0 || r.overrun())
            break;
        if (flags & 0x08)
            state.fontId = r.u16();
        if (flags & 0x04)
            state.colour = textVersion >= 2 ? readRgba(r) : readRgb(r);
        if (flags & 0x01)
            state.x = r.s16();
        if (flags & 0x02)
            state.y = r.s16();
        if (flags & 0x08)
            state.height = r.u16();
        std::size_t count = r.u8();
        TextRecord record = state;
        BitReader bits(r);
        for (std::size_t i = 0; i < count && !r.overrun(); ++i) {
            GlyphEntry g;
            g.index = bits.ub(glyphBits);
            g.advance = bits.sb(advanceBits);
            record.glyphs.push_back(g);
            state.x += g.advance;
        }
        if (r.overrun())
            break;
        text.records.push_back(std::move(record));
    }
    return text;
}

namespace {

// DefineButton2's condition actions: each starts with its size (0 on the last) and its conditions.
void readButtonActions(Button& button, const std::uint8_t* body, std::size_t size, std::size_t offset)
{
    while (offset + 4 <= size) {
        ByteReader r(body + offset, size - offset);
        std::uint16_t recordSize = r.u16();
        std::uint16_t conditions = r.u16();
        std::size_t end = recordSize ? std::min(size, offset + recordSize) : size;
        if (end < offset + 4)
            break;
        button.actions.push_back({conditions, std::vector<std::uint8_t>(body + offset + 4, body + end)});
        if (!recordSize)
            break;
        offset = end;
    }
}

}  // namespace

Button decodeButton(const std::uint8_t* body, std::size_t size, int buttonVersion)
{
    ByteReader r(body, size);
    Button button;
    std::uint16_t actionOffset = 0;
    button.id = r.u16();
    if (buttonVersion >= 2) {
        button.trackAsMenu = r.u8() & 0x01;
        actionOffset = r.u16();
    }
    while (!r.overrun()) {
        std::uint8_t flags = r.u8();
        if (flags == 0 || r.overrun())
            break;
        ButtonRecord b;
        b.up = flags & 0x01;
        b.over = flags & 0x02;
        b.down = flags & 0x04;
        b.hitTest = flags & 0x08;
        b.characterId = r.u16();
        b.depth = r.u16();
        b.matrix = readMatrix(r);
        if (buttonVersion >= 2) {
            b.colorTransform = readColorTransform(r, true);
            if (flags & 0x10)
                b.filters = readFilterList(r);
            if (flags & 0x20) {
                std::uint8_t mode = r.u8();
                b.blendMode = mode >= 1 && mode <= 14 ? static_cast<BlendMode>(mode) : BlendMode::Normal;
            }
        }
        if (r.overrun())
            break;
        button.records.push_back(std::move(b));
    }
    if (buttonVersion == 1) {
        // The first button form has one block of actions, run on release.
        if (!r.overrun() && !r.atEnd())
            button.actions.push_back({buttoncond::Release, std::vector<std::uint8_t>(r.current(), r.current() + r.remaining())});
    } else if (actionOffset) {
        readButtonActions(button, body, size, 3 + std::size_t(actionOffset));
    }
    return button;
}

}  // namespace swf
