// The HTML subset of text fields (<p align>, <font face size color>, <b>, <i>, <u>, <br>, entities) read into runs of
// text with their formats, one paragraph after another.
#pragma once

#include "swf/movie/edittext.h"

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

}  // namespace swf
