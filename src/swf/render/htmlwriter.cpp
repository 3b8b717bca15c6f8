// Text back to HTML as Flash writes it for htmlText, and format changes over a range of characters.
#include "swf/render/htmltext.h"

#include <cmath>
#include <cstdio>

namespace swf {

namespace {

// Pixels, as few digits as the value needs.
std::string pixelText(double twips)
{
    const double px = twips / 20.0;
    char buffer[32];
    if (std::nearbyint(px) == px)
        std::snprintf(buffer, sizeof buffer, "%.0f", px);
    else
        std::snprintf(buffer, sizeof buffer, "%g", px);
    return buffer;
}

const char* alignText(TextAlign a)
{
    switch (a) {
    case TextAlign::Right: return "RIGHT";
    case TextAlign::Center: return "CENTER";
    case TextAlign::Justify: return "JUSTIFY";
    case TextAlign::Left: break;
    }
    return "LEFT";
}

std::string colourText(Rgba c)
{
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "#%02X%02X%02X", c.r, c.g, c.b);
    return buffer;
}


void appendEscaped(std::string& out, const std::u32string& text)
{
    for (char32_t c : text) {
        if (c == '&')
            out += "&amp;";
        else if (c == '<')
            out += "&lt;";
        else if (c == '>')
            out += "&gt;";
        else if (c == '"')
            out += "&quot;";
        else
            appendUtf8(out, c);
    }
}

// What a FONT tag says about a run.
struct FontAttributes {
    std::string face, size, colour, spacing, kerning;
    bool operator==(const FontAttributes& o) const
    {
        return face == o.face && size == o.size && colour == o.colour && spacing == o.spacing && kerning == o.kerning;
    }
};

class HtmlWriter {
public:
    explicit HtmlWriter(const FontNamer& fontName) : m_fontName(fontName) {}

    std::string write(const std::vector<TextParagraph>& paragraphs, const TextFormat& base)
    {
        for (const TextParagraph& p : paragraphs)
            paragraph(p, p.runs.empty() ? base : p.runs.front().format);
        return std::move(m_out);
    }

private:
    FontAttributes attributesOf(const TextFormat& f) const
    {
        return {m_fontName(f), pixelText(f.size), colourText(f.colour), pixelText(f.letterSpacing),
                f.kerning ? "1" : "0"};
    }

    void paragraph(const TextParagraph& p, const TextFormat& first)
    {
        std::string layout;
        auto attribute = [&layout](const char* name, double twips) {
            if (twips != 0)
                layout += std::string(" ") + name + "=\"" + pixelText(twips) + "\"";
        };
        attribute("LEFTMARGIN", first.leftMargin);
        attribute("RIGHTMARGIN", first.rightMargin);
        attribute("INDENT", first.indent);
        attribute("LEADING", first.leading);
        if (!layout.empty())
            m_out += "<TEXTFORMAT" + layout + ">";
        m_out += std::string("<P ALIGN=\"") + alignText(p.align) + "\">";
        m_fonts.clear();
        openFont(attributesOf(first));
        for (const TextRun& run : p.runs)
            this->run(run);
        closeFonts(0);
        m_out += "</P>";
        if (!layout.empty())
            m_out += "</TEXTFORMAT>";
    }

    // A run whose font matches one of the open FONT tags goes back to it; any other opens a FONT inside the
    // innermost with the attributes that differ from it.
    void run(const TextRun& r)
    {
        const FontAttributes wanted = attributesOf(r.format);
        std::size_t open = m_fonts.size();
        while (open > 0 && !(m_fonts[open - 1] == wanted))
            --open;
        if (open > 0)
            closeFonts(open);
        else
            openFont(wanted);
        if (r.format.bold)
            m_out += "<B>";
        if (r.format.italic)
            m_out += "<I>";
        if (r.format.underline)
            m_out += "<U>";
        appendEscaped(m_out, r.text);
        if (r.format.underline)
            m_out += "</U>";
        if (r.format.italic)
            m_out += "</I>";
        if (r.format.bold)
            m_out += "</B>";
    }

    void openFont(const FontAttributes& a)
    {
        const FontAttributes* outer = m_fonts.empty() ? nullptr : &m_fonts.back();
        m_out += "<FONT";
        auto put = [this](const char* name, const std::string& value, const std::string* was) {
            if (!was || *was != value)
                m_out += std::string(" ") + name + "=\"" + value + "\"";
        };
        put("FACE", a.face, outer ? &outer->face : nullptr);
        put("SIZE", a.size, outer ? &outer->size : nullptr);
        put("COLOR", a.colour, outer ? &outer->colour : nullptr);
        put("LETTERSPACING", a.spacing, outer ? &outer->spacing : nullptr);
        put("KERNING", a.kerning, outer ? &outer->kerning : nullptr);
        m_out += ">";
        m_fonts.push_back(a);
    }

    void closeFonts(std::size_t keep)
    {
        while (m_fonts.size() > keep) {
            m_out += "</FONT>";
            m_fonts.pop_back();
        }
    }

    const FontNamer& m_fontName;
    std::vector<FontAttributes> m_fonts;
    std::string m_out;
};

// Splits the paragraph's runs so that one starts at `at` (counted within the paragraph).
void splitAt(TextParagraph& p, std::size_t at)
{
    std::size_t start = 0;
    for (std::size_t i = 0; i < p.runs.size(); ++i) {
        const std::size_t length = p.runs[i].text.size();
        if (at > start && at < start + length) {
            TextRun tail{p.runs[i].text.substr(at - start), p.runs[i].format};
            p.runs[i].text.resize(at - start);
            p.runs.insert(p.runs.begin() + std::ptrdiff_t(i) + 1, std::move(tail));
            return;
        }
        start += length;
    }
}

// The paragraph's own attributes (alignment, margins, indent, leading) hold for all its runs.
void changeParagraph(TextParagraph& p, const std::function<void(TextFormat&)>& change)
{
    TextFormat f = p.runs.empty() ? TextFormat() : p.runs.front().format;
    f.align = p.align;
    change(f);
    p.align = f.align;
    for (TextRun& r : p.runs) {
        r.format.align = f.align;
        r.format.leftMargin = f.leftMargin;
        r.format.rightMargin = f.rightMargin;
        r.format.indent = f.indent;
        r.format.leading = f.leading;
    }
}

}  // namespace

void appendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

std::string htmlSource(const std::vector<TextParagraph>& paragraphs, const TextFormat& base, const FontNamer& fontName)
{
    return HtmlWriter(fontName).write(paragraphs, base);
}

void changeFormats(std::vector<TextParagraph>& paragraphs, std::size_t begin, std::size_t end,
                   const std::function<void(TextFormat&)>& change)
{
    std::size_t start = 0;
    for (TextParagraph& p : paragraphs) {
        std::size_t length = 0;
        for (const TextRun& r : p.runs)
            length += r.text.size();
        const std::size_t from = std::max(begin, start), to = std::min(end, start + length);
        if (from < to || (begin <= start && end > start)) {
            changeParagraph(p, change);
            splitAt(p, from - start);
            splitAt(p, to - start);
            std::size_t at = start;
            for (TextRun& r : p.runs) {
                if (at >= from && at < to)
                    change(r.format);
                at += r.text.size();
            }
        }
        start += length + 1;  // the paragraph's end counts as one character
    }
}

}  // namespace swf
