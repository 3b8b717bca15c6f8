#include "swf/format/edittext.h"

#include "swf/io/bytereader.h"

namespace swf {

namespace {

// Movies before SWF 6 store text in the author's code page; Latin-1 is the common case.
std::string latin1ToUtf8(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (unsigned char c : text) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

// Reads the two flag bytes; returns whether a font class name follows.
bool readFlags(ByteReader& r, EditText& t)
{
    std::uint8_t a = r.u8();
    std::uint8_t b = r.u8();
    t.hasText = a & 0x80;
    t.wordWrap = a & 0x40;
    t.multiline = a & 0x20;
    t.password = a & 0x10;
    t.readOnly = a & 0x08;
    t.hasColour = a & 0x04;
    t.hasMaxLength = a & 0x02;
    t.hasFont = a & 0x01;
    bool hasFontClass = b & 0x80;
    t.autoSize = b & 0x40;
    t.hasLayout = b & 0x20;
    t.noSelect = b & 0x10;
    t.border = b & 0x08;
    t.wasStatic = b & 0x04;
    t.html = b & 0x02;
    t.useOutlines = b & 0x01;
    return hasFontClass;
}

}  // namespace

EditText decodeEditText(const std::uint8_t* body, std::size_t size, int swfVersion)
{
    ByteReader r(body, size);
    EditText t;
    t.id = r.u16();
    t.bounds = readRect(r);
    bool hasFontClass = readFlags(r, t);
    if (t.hasFont)
        t.fontId = r.u16();
    if (hasFontClass)
        t.fontClass = r.cstring();
    if (t.hasFont || hasFontClass)
        t.height = r.u16();
    if (t.hasColour)
        t.colour = readRgba(r);
    if (t.hasMaxLength)
        t.maxLength = r.u16();
    if (t.hasLayout) {
        std::uint8_t align = r.u8();
        t.align = align <= 3 ? static_cast<TextAlign>(align) : TextAlign::Left;
        t.leftMargin = r.u16();
        t.rightMargin = r.u16();
        t.indent = r.s16();
        t.leading = r.s16();
    }
    t.variableName = r.cstring();
    if (t.hasText)
        t.initialText = r.cstring();
    if (swfVersion < 6) {
        t.variableName = latin1ToUtf8(t.variableName);
        t.initialText = latin1ToUtf8(t.initialText);
    }
    return t;
}

}  // namespace swf
