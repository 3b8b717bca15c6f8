#include "swf/render/htmltext.h"

#include "swf/limits.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <map>

namespace swf {

namespace {

struct Tag {
    std::string name;  // lower case
    bool closing = false;
    std::map<std::string, std::string> attributes;  // names in lower case
};

std::string lower(std::string s)
{
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

Tag parseTag(const std::u32string& body)
{
    std::string s;
    for (char32_t c : body)
        s += c < 0x80 ? static_cast<char>(c) : '?';
    Tag tag;
    std::size_t i = 0;
    auto skipSpace = [&] {
        while (i < s.size() && std::isspace(static_cast<unsigned char>(s[i])))
            ++i;
    };
    skipSpace();
    if (i < s.size() && s[i] == '/') {
        tag.closing = true;
        ++i;
    }
    std::size_t start = i;
    while (i < s.size() && !std::isspace(static_cast<unsigned char>(s[i])) && s[i] != '/')
        ++i;
    tag.name = lower(s.substr(start, i - start));
    while (i < s.size()) {
        skipSpace();
        start = i;
        while (i < s.size() && s[i] != '=' && !std::isspace(static_cast<unsigned char>(s[i])))
            ++i;
        std::string name = lower(s.substr(start, i - start));
        skipSpace();
        if (i >= s.size() || s[i] != '=') {
            ++i;
            continue;
        }
        ++i;
        skipSpace();
        char quote = i < s.size() && (s[i] == '"' || s[i] == '\'') ? s[i++] : ' ';
        start = i;
        while (i < s.size() && s[i] != quote && !(quote == ' ' && std::isspace(static_cast<unsigned char>(s[i]))))
            ++i;
        tag.attributes[name] = s.substr(start, i - start);
        ++i;
    }
    return tag;
}

char32_t entity(const std::u32string& name)
{
    static const std::pair<const char*, char32_t> kNamed[]
        = {{"lt", '<'}, {"gt", '>'}, {"amp", '&'}, {"quot", '"'}, {"apos", '\''}, {"nbsp", 0xA0}};
    std::string s;
    for (char32_t c : name)
        s += c < 0x80 ? static_cast<char>(c) : '?';
    for (const auto& [n, c] : kNamed)
        if (s == n)
            return c;
    if (s.size() > 1 && s[0] == '#') {
        bool hex = s[1] == 'x' || s[1] == 'X';
        char* end = nullptr;
        unsigned long value = std::strtoul(s.c_str() + (hex ? 2 : 1), &end, hex ? 16 : 10);
        if (end && *end == 0 && value > 0 && value <= 0x10FFFF)
            return static_cast<char32_t>(value);
    }
    return 0;
}

class HtmlReader {
public:
    explicit HtmlReader(const TextFormat& base) { m_stack.push_back({"", base}); }

    std::vector<TextParagraph> read(const std::u32string& s)
    {
        for (std::size_t i = 0; i < s.size() && m_characters < limits::kMaxTextFieldCharacters; ++i) {
            char32_t c = s[i];
            if (c == '<') {
                std::size_t end = s.find('>', i);
                if (end == std::u32string::npos)
                    break;
                tag(parseTag(s.substr(i + 1, end - i - 1)));
                i = end;
            } else if (c == '&') {
                std::size_t end = s.find(';', i);
                char32_t e = end != std::u32string::npos && end - i <= 10 ? entity(s.substr(i + 1, end - i - 1)) : 0;
                if (e) {
                    add(e);
                    i = end;
                } else {
                    add(c);
                }
            } else if (c == '\r' || c == '\n') {
                if (c == '\r' && i + 1 < s.size() && s[i + 1] == '\n')
                    ++i;
                endParagraph();
            } else {
                add(c);
            }
        }
        if (!m_current.runs.empty() || m_paragraphs.empty())
            m_paragraphs.push_back(m_current);
        return std::move(m_paragraphs);
    }

private:
    struct Level {
        std::string tag;
        TextFormat format;
    };

    void add(char32_t c)
    {
        ++m_characters;
        const TextFormat& f = m_stack.back().format;
        if (m_current.runs.empty())
            m_current.align = f.align;
        if (m_current.runs.empty() || !sameFormat(m_current.runs.back().format, f))
            m_current.runs.push_back({{}, f});
        m_current.runs.back().text += c;
    }

    static bool sameFormat(const TextFormat& a, const TextFormat& b)
    {
        return a.fontId == b.fontId && a.face == b.face && a.size == b.size && a.colour.r == b.colour.r
            && a.colour.g == b.colour.g && a.colour.b == b.colour.b && a.colour.a == b.colour.a && a.bold == b.bold
            && a.italic == b.italic && a.underline == b.underline && a.letterSpacing == b.letterSpacing
            && a.kerning == b.kerning && a.leftMargin == b.leftMargin && a.rightMargin == b.rightMargin
            && a.indent == b.indent && a.leading == b.leading;
    }

    void endParagraph()
    {
        if (m_current.runs.empty())
            m_current.align = m_stack.back().format.align;
        m_paragraphs.push_back(std::move(m_current));
        m_current = TextParagraph();
    }

    void tag(const Tag& t)
    {
        if (t.name == "br" || t.name == "sbr") {
            endParagraph();
            return;
        }
        if (t.closing) {
            close(t.name);
            return;
        }
        if (t.name == "p" && !m_current.runs.empty())
            endParagraph();
        TextFormat f = m_stack.back().format;
        if (!apply(t, f))
            return;
        if (m_stack.size() >= limits::kMaxHtmlNesting)
            return;  // deeper markup keeps the format around it
        m_stack.push_back({t.name, f});
        if (t.name == "p")
            m_current.align = f.align;
    }

    void close(const std::string& name)
    {
        for (std::size_t i = m_stack.size(); i-- > 1;) {
            if (m_stack[i].tag == name) {
                m_stack.resize(i);
                break;
            }
        }
        if (name == "p" || name == "li")
            endParagraph();
    }

    // Changes the format as the tag asks; false for tags that are not kept on the stack.
    static bool apply(const Tag& t, TextFormat& f)
    {
        auto attribute = [&](const char* name) -> const std::string* {
            auto it = t.attributes.find(name);
            return it == t.attributes.end() ? nullptr : &it->second;
        };
        if (t.name == "b") {
            f.bold = true;
        } else if (t.name == "i") {
            f.italic = true;
        } else if (t.name == "u") {
            f.underline = true;
        } else if (t.name == "p") {
            if (const std::string* a = attribute("align"))
                f.align = alignNamed(lower(*a), f.align);
        } else if (t.name == "font") {
            if (const std::string* face = attribute("face")) {
                f.face = *face;
                f.fontId = 0;
            }
            if (const std::string* size = attribute("size"))
                f.size = sizeTwips(*size, f.size);
            if (const std::string* colour = attribute("color"))
                f.colour = colourNamed(*colour, f.colour);
            if (const std::string* kerning = attribute("kerning"))
                f.kerning = *kerning != "0" && !kerning->empty();
            if (const std::string* spacing = attribute("letterspacing"))
                f.letterSpacing = pixelsToTwips(*spacing, f.letterSpacing);
        } else if (t.name == "textformat") {
            paragraphFormat(t, f);
        } else if (t.name != "li" && t.name != "span" && t.name != "a") {
            return false;
        }
        return true;
    }

    // <textformat> sets the paragraph's margins, indent and leading in pixels; blockindent adds to the left margin.
    static void paragraphFormat(const Tag& t, TextFormat& f)
    {
        auto set = [&](const char* name, double& value) {
            auto it = t.attributes.find(name);
            if (it != t.attributes.end())
                value = pixelsToTwips(it->second, value);
        };
        set("leftmargin", f.leftMargin);
        set("rightmargin", f.rightMargin);
        set("indent", f.indent);
        set("leading", f.leading);
        double block = 0;
        set("blockindent", block);
        f.leftMargin += block;
    }

    static double pixelsToTwips(const std::string& s, double current)
    {
        char* end = nullptr;
        double value = std::strtod(s.c_str(), &end);
        if (end == s.c_str() || !std::isfinite(value))
            return current;
        return std::clamp(value, -720.0, 720.0) * 20;
    }

    static TextAlign alignNamed(const std::string& a, TextAlign otherwise)
    {
        if (a == "left")
            return TextAlign::Left;
        if (a == "right")
            return TextAlign::Right;
        if (a == "center")
            return TextAlign::Center;
        if (a == "justify")
            return TextAlign::Justify;
        return otherwise;
    }

    // Sizes are pixels; a sign makes them relative to the current size.
    static double sizeTwips(const std::string& s, double current)
    {
        char* end = nullptr;
        long value = std::strtol(s.c_str(), &end, 10);
        if (end == s.c_str())
            return current;
        double twips = (s[0] == '+' || s[0] == '-') ? current + value * 20.0 : value * 20.0;
        return std::clamp(twips, 20.0, 127.0 * 20 * 10);
    }

    static Rgba colourNamed(const std::string& s, Rgba current)
    {
        if (s.size() != 7 || s[0] != '#')
            return current;
        char* end = nullptr;
        unsigned long v = std::strtoul(s.c_str() + 1, &end, 16);
        if (!end || *end)
            return current;
        return Rgba{static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v),
                    current.a};
    }

    std::vector<Level> m_stack;
    std::size_t m_characters = 0;
    std::vector<TextParagraph> m_paragraphs;
    TextParagraph m_current;
};

}  // namespace

std::u32string decodeUtf8(const std::string& utf8)
{
    std::u32string out;
    for (std::size_t i = 0; i < utf8.size();) {
        unsigned char c = utf8[i];
        int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
        char32_t code = extra == 3 ? c & 0x07 : extra == 2 ? c & 0x0F : extra == 1 ? c & 0x1F : c;
        std::size_t j = i + 1;
        for (int k = 0; k < extra && j < utf8.size() && (static_cast<unsigned char>(utf8[j]) & 0xC0) == 0x80; ++k, ++j)
            code = (code << 6) | (static_cast<unsigned char>(utf8[j]) & 0x3F);
        out += (c >= 0x80 && c < 0xC0) ? char32_t(0xFFFD) : code;
        i = j;
    }
    return out;
}

std::vector<TextParagraph> plainParagraphs(const std::string& utf8, const TextFormat& base)
{
    std::vector<TextParagraph> out(1);
    std::u32string text = decodeUtf8(utf8);
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            out.emplace_back();
            continue;
        }
        if (out.back().runs.empty())
            out.back().runs.push_back({{}, base});
        out.back().runs.back().text += c;
    }
    for (TextParagraph& p : out)
        p.align = base.align;
    return out;
}

std::vector<TextParagraph> htmlParagraphs(const std::string& utf8, const TextFormat& base)
{
    return HtmlReader(base).read(decodeUtf8(utf8));
}

}  // namespace swf
