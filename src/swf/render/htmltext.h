// The HTML subset of text fields (<p align>, <font face size color>, <b>, <i>, <u>, <br>, entities) read into runs of
// text with their formats, one paragraph after another.
#pragma once

#include "swf/movie/edittext.h"

#include <functional>
#include <string>
#include <vector>

namespace swf {

struct TextRun {
    std::u32string text;
    TextFormat format;
};

struct TextParagraph {
    std::vector<TextRun> runs;
    TextAlign align = TextAlign::Left;
};

// Plain text: carriage returns and line feeds end paragraphs; every run takes the base format.
std::vector<TextParagraph> plainParagraphs(const std::string& utf8, const TextFormat& base);
// HTML text: unknown tags are ignored, their text kept; broken markup never fails.
std::vector<TextParagraph> htmlParagraphs(const std::string& utf8, const TextFormat& base);
std::u32string decodeUtf8(const std::string& utf8);
// Appends one code point to `out` as UTF-8.
void appendUtf8(std::string& out, char32_t c);

// The name of a format's font: the face it names, or its embedded font's name.
using FontNamer = std::function<std::string(const TextFormat&)>;
// The HTML Flash gives back for text: each paragraph a TEXTFORMAT with the margins, indent and leading that are not 0,
// a P with its alignment, FONT tags nested as the runs' fonts change, and B, I and U around styled runs. `base` is the
// format of an empty paragraph.
std::string htmlSource(const std::vector<TextParagraph>& paragraphs, const TextFormat& base, const FontNamer& fontName);
// Changes the format of the characters from begin up to end (each paragraph's end counts as one character); the
// paragraph's own attributes (alignment, margins) change in every paragraph the range touches.
void changeFormats(std::vector<TextParagraph>& paragraphs, std::size_t begin, std::size_t end,
                   const std::function<void(TextFormat&)>& change);

}  // namespace swf
