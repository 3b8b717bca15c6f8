#include "swf/render/textlayout.h"

#include "swf/limits.h"
#include "swf/movie/movie.h"
#include "swf/render/htmltext.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <unordered_map>

namespace swf {

namespace {

// Font names in DefineFont2 and 3 often keep their terminating NUL.
std::string trimmedName(const std::string& name)
{
    return name.substr(0, name.find('\0'));
}

bool sameName(const std::string& x, const std::string& y)
{
    std::string a = trimmedName(x), b = trimmedName(y);
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

// One character with the font that draws it and its measures in twips.
struct Cell {
    char32_t code = 0;
    const TextFormat* format = nullptr;
    std::shared_ptr<const Font> font;
    std::size_t index = 0;
    bool hasGlyph = false;
    double advance = 0, ascent = 0, descent = 0, scale = 0;
};

struct Line {
    std::size_t begin = 0, end = 0;  // cells
    double width = 0;  // without trailing spaces
    double ascent = 0, descent = 0, leading = 0;
    bool lastOfParagraph = false;
    bool firstOfParagraph = false;
    TextAlign align = TextAlign::Left;
    double indent = 0, leftMargin = 0, rightMargin = 0;
};

class Layouter {
public:
    Layouter(const EditTextField& field, const Movie& movie, FontProvider* fonts)
        : m_field(field), m_definition(field.definition()), m_movie(movie), m_fonts(fonts)
    {
    }

    TextLayout run()
    {
        std::vector<TextParagraph> paragraphs = m_field.isHtml() ? htmlParagraphs(m_field.text(), m_field.format())
                                                                 : plainParagraphs(m_field.text(), m_field.format());
        for (const TextParagraph& p : paragraphs) {
            if (m_cells.size() >= limits::kMaxTextFieldCharacters || m_lines.size() >= limits::kMaxTextFieldLines)
                break;
            breakParagraph(p);
        }
        place();
        return std::move(m_out);
    }

private:
    std::shared_ptr<const Font> embeddedFont(const TextFormat& f)
    {
        auto cached = m_fontOfFormat.find(&f);
        if (cached != m_fontOfFormat.end())
            return cached->second;
        return m_fontOfFormat[&f] = findEmbeddedFont(f);
    }

    std::shared_ptr<const Font> findEmbeddedFont(const TextFormat& f) const
    {
        std::shared_ptr<const Font> byId;
        if (f.fontId) {
            const Character* c = m_movie.character(f.fontId);
            if (c && c->font)
                byId = c->font;
        }
        const std::string& name = byId ? byId->name : f.face;
        if (byId && byId->bold == f.bold && byId->italic == f.italic)
            return byId;
        std::shared_ptr<const Font> best = byId;
        std::uint16_t bestId = 0xFFFF;
        int bestScore = -1;
        for (const auto& [id, c] : m_movie.characters) {
            if (!c.font || !sameName(c.font->name, name))
                continue;
            int score = (c.font->bold == f.bold) + (c.font->italic == f.italic) + !c.font->glyphs.empty();
            if (score > bestScore || (score == bestScore && id < bestId)) {
                best = c.font;
                bestScore = score;
                bestId = id;
            }
        }
        return best;
    }

    DeviceFont deviceFont(const TextFormat& f, const std::shared_ptr<const Font>& embedded) const
    {
        DeviceFont d;
        d.face = trimmedName(embedded ? embedded->name : f.face);
        d.bold = f.bold || (embedded && embedded->bold);
        d.italic = f.italic || (embedded && embedded->italic);
        return d;
    }

    Cell cell(char32_t code, const TextFormat& f)
    {
        Cell c;
        c.code = m_definition.password ? U'*' : code;
        c.format = &f;
        std::shared_ptr<const Font> font = embeddedFont(f);
        if (font && m_definition.useOutlines && !font->glyphs.empty()) {
            c.font = font;
            double scale = f.size / font->emSquare;
            c.scale = scale;
            // Flash measures embedded text in whole twips, dropping the fractions of each advance.
            c.ascent = std::trunc(font->ascent * scale);
            c.descent = std::trunc(font->descent * scale);
            auto it = std::find(font->codes.begin(), font->codes.end(), static_cast<std::uint16_t>(c.code));
            if (it != font->codes.end() && c.code <= 0xFFFF) {
                c.index = static_cast<std::size_t>(it - font->codes.begin());
                c.hasGlyph = true;
                if (c.index < font->advances.size())
                    c.advance = std::trunc(font->advances[c.index] * scale) + f.letterSpacing;
            }
            return c;
        }
        DeviceFont d = deviceFont(f, font);
        c.scale = f.size / FontProvider::kEm;
        if (m_fonts) {
            DeviceFontMetrics m = m_fonts->metrics(d);
            c.ascent = m.ascent * c.scale;
            c.descent = m.descent * c.scale;
            // Device text advances by whole pixels.
            c.advance
                = std::round(m_fonts->advance(d, c.code) * c.scale / 20) * 20 + std::round(f.letterSpacing / 20) * 20;
            c.hasGlyph = true;
        }
        return c;
    }

    double available(const Line& line) const
    {
        double width = m_definition.bounds.xMax - m_definition.bounds.xMin - 2 * kTextFieldPadding;
        return width - line.leftMargin - line.rightMargin - (line.firstOfParagraph ? line.indent : 0);
    }

    void breakParagraph(const TextParagraph& p)
    {
        std::size_t begin = m_cells.size();
        for (const TextRun& run : p.runs) {
            m_formats.push_back(std::make_unique<TextFormat>(run.format));
            for (char32_t code : run.text) {
                if (m_cells.size() >= limits::kMaxTextFieldCharacters)
                    break;
                m_cells.push_back(cell(code, *m_formats.back()));
            }
        }
        const TextFormat& base = p.runs.empty() ? m_field.format() : p.runs.front().format;
        Line line;
        line.align = p.align;
        line.indent = base.indent;
        line.leftMargin = base.leftMargin;
        line.rightMargin = base.rightMargin;
        line.firstOfParagraph = true;
        std::size_t end = m_cells.size();
        if (begin == end) {
            line.begin = line.end = begin;
            line.lastOfParagraph = true;
            measure(line, base);
            m_lines.push_back(line);
            return;
        }
        for (std::size_t start = begin; start < end && m_lines.size() < limits::kMaxTextFieldLines;) {
            line.begin = start;
            line.end = wrapEnd(line, end);
            line.lastOfParagraph = line.end == end;
            measure(line, base);
            m_lines.push_back(line);
            line.firstOfParagraph = false;
            start = line.end;
        }
    }

    // Where the line starting at line.begin ends: after the last space that fits, or mid-word when a single word is
    // wider than the field.
    std::size_t wrapEnd(const Line& line, std::size_t end) const
    {
        double limit = available(line);
        double x = 0;
        std::size_t lastBreak = 0;
        for (std::size_t i = line.begin; i < end; ++i) {
            const Cell& c = m_cells[i];
            if (m_definition.wordWrap && i > line.begin && c.code != ' ' && x + c.advance > limit)
                return lastBreak ? lastBreak : i;
            x += c.advance;
            if (c.code == ' ')
                lastBreak = i + 1;
        }
        return end;
    }

    void measure(Line& line, const TextFormat& base)
    {
        std::size_t trimmed = line.end;
        while (trimmed > line.begin && m_cells[trimmed - 1].code == ' ')
            --trimmed;
        line.leading = base.leading;
        for (std::size_t i = line.begin; i < line.end; ++i) {
            const Cell& c = m_cells[i];
            line.ascent = std::max(line.ascent, c.ascent);
            line.descent = std::max(line.descent, c.descent);
            line.leading = std::max(line.leading, c.format->leading);
            if (i < trimmed)
                line.width += c.advance;
        }
        if (line.begin == line.end) {
            Cell c = cell(' ', *m_formats.emplace_back(std::make_unique<TextFormat>(base)));
            line.ascent = c.ascent;
            line.descent = c.descent;
        }
    }

    void place()
    {
        const Rect& b = m_definition.bounds;
        double top = b.yMin + kTextFieldPadding;
        double baseline = top;
        for (std::size_t n = 0; n < m_lines.size(); ++n) {
            const Line& line = m_lines[n];
            baseline += (n == 0 ? 0 : m_lines[n - 1].descent + m_lines[n - 1].leading) + line.ascent;
            placeLine(line, baseline);
            m_out.textWidth = std::max(m_out.textWidth, line.width);
            // An empty last line (text ending in a line break) adds nothing to the text's height.
            bool emptyLast = n > 0 && n + 1 == m_lines.size() && line.begin == line.end;
            if (!emptyLast)
                m_out.textHeight = baseline + line.descent - top;
        }
        m_out.lines = m_lines.size();
        m_out.overflows = m_out.overflows || top + m_out.textHeight > b.yMax - kTextFieldPadding / 2;
    }

    void placeLine(const Line& line, double baseline)
    {
        double limit = available(line);
        double x = m_definition.bounds.xMin + kTextFieldPadding + line.leftMargin
            + (line.firstOfParagraph ? line.indent : 0);
        double extra = std::max(0.0, limit - line.width);
        double spaceStretch = 0;
        if (line.align == TextAlign::Right)
            x += extra;
        else if (line.align == TextAlign::Center)
            x += std::trunc(extra / 2);
        else if (line.align == TextAlign::Justify && !line.lastOfParagraph)
            spaceStretch = justifyStretch(line, extra);
        if (line.width > limit + 1)
            m_out.overflows = true;
        for (std::size_t i = line.begin; i < line.end; ++i) {
            const Cell& c = m_cells[i];
            if (c.hasGlyph && c.code != ' ') {
                PlacedGlyph g;
                g.font = c.font;
                g.index = c.index;
                if (!c.font)
                    g.device = deviceFont(*c.format, embeddedFont(*c.format));
                g.code = c.code;
                g.x = x;
                g.y = baseline;
                g.scale = c.scale;
                g.colour = c.format->colour;
                m_out.glyphs.push_back(std::move(g));
            }
            if (c.format->underline)
                underline(c, x, baseline);
            x += c.advance;
            if (i + 1 < line.end && startsPiece(i + 1))
                x += spaceStretch;
        }
    }

    // Justified lines are pieces that each end after a space or where the format changes; the room left is shared
    // evenly between the gaps of the pieces, in whole twips.
    double justifyStretch(const Line& line, double extra) const
    {
        std::size_t trimmed = line.end;
        while (trimmed > line.begin && m_cells[trimmed - 1].code == ' ')
            --trimmed;
        std::size_t gaps = 0;
        for (std::size_t i = line.begin + 1; i < trimmed; ++i)
            gaps += startsPiece(i);
        return std::trunc(extra / std::max<std::size_t>(gaps, 1));
    }

    bool startsPiece(std::size_t i) const
    {
        return m_cells[i - 1].code == ' ' || m_cells[i - 1].format != m_cells[i].format;
    }

    void underline(const Cell& c, double x, double baseline)
    {
        double y = baseline + std::max(20.0, c.format->size / 12);
        if (!m_out.underlines.empty()) {
            TextUnderline& last = m_out.underlines.back();
            if (last.y == y && std::abs(last.x1 - x) < 1e-6) {
                last.x1 = x + c.advance;
                return;
            }
        }
        m_out.underlines.push_back({x, x + c.advance, y, std::max(20.0, c.format->size / 20), c.format->colour});
    }

    const EditTextField& m_field;
    const EditText& m_definition;
    const Movie& m_movie;
    FontProvider* m_fonts;
    std::unordered_map<const TextFormat*, std::shared_ptr<const Font>> m_fontOfFormat;
    std::vector<std::unique_ptr<TextFormat>> m_formats;  // stable addresses for the cells
    std::vector<Cell> m_cells;
    std::vector<Line> m_lines;
    TextLayout m_out;
};

}  // namespace

TextLayout layoutText(const EditTextField& field, const Movie& movie, FontProvider* fonts)
{
    return Layouter(field, movie, fonts).run();
}

}  // namespace swf
