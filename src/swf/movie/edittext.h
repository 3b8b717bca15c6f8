// A text field on the stage: the text it shows (plain or HTML) and its default format, starting from the field's
// definition; script replaces them through the setters.
#pragma once

#include "swf/format/edittext.h"

#include <cstdint>
#include <memory>
#include <string>

namespace swf {

class Clip;

// How text without markup of its own is set: font, size, colour, style and paragraph layout.
struct TextFormat {
    std::uint16_t fontId = 0;  // an embedded font; 0 when the face is named only
    std::string face;  // the font's name (a device font such as "_sans" when
                       // nothing is embedded)
    double size = 240;  // twips
    Rgba colour{0, 0, 0, 255};
    bool bold = false, italic = false, underline = false;
    TextAlign align = TextAlign::Left;
    double leftMargin = 0, rightMargin = 0, indent = 0, leading = 0;  // twips
    double letterSpacing = 0;  // twips added after each character
    bool kerning = false;
};

class EditTextField {
public:
    explicit EditTextField(std::shared_ptr<const EditText> definition);
    ~EditTextField();
    EditTextField(const EditTextField&) = delete;
    EditTextField& operator=(const EditTextField&) = delete;

    const EditText& definition() const { return *m_definition; }
    // Script changes to the settings (wordWrap, multiline, embedFonts …) go to the field's own copy of its definition.
    template <class Change>
    void changeDefinition(Change change)
    {
        auto copy = std::make_shared<EditText>(*m_definition);
        change(*copy);
        m_definition = std::move(copy);
        m_renderCache = {};
    }
    // The text as set: HTML source when isHtml(), plain text otherwise.
    const std::string& text() const { return m_text; }
    bool isHtml() const { return m_html; }
    void setText(const std::string& text);
    void setHtmlText(const std::string& html);
    // The format of the text shown, and the one new text takes (text and htmlText set by script, typed text).
    const TextFormat& format() const { return m_format; }
    void setFormat(const TextFormat& format)
    {
        m_format = format;
        m_renderCache = {};
    }
    const TextFormat& newFormat() const { return m_newFormat; }
    void setNewFormat(const TextFormat& format) { m_newFormat = format; }
    bool border() const { return m_border; }
    bool background() const { return m_background; }
    Rgba borderColour() const { return m_borderColour; }
    Rgba backgroundColour() const { return m_backgroundColour; }
    void setBorder(bool on, Rgba colour = {0, 0, 0, 255});
    void setBackground(bool on, Rgba colour = {255, 255, 255, 255});

    // Whether the field has tied itself to its variable yet (once, when first seen after being placed).
    bool bindingStarted() const { return m_bindingStarted; }
    void setBindingStarted() { m_bindingStarted = true; }
    void restartBinding() { m_bindingStarted = false; }

    // What the renderer worked out for the current text (its layout and boxes), kept between frames; every setter drops
    // it.
    struct RenderCache {
        std::shared_ptr<const void> data;
        bool withFonts = false;  // laid out with a provider of system fonts
    };
    RenderCache& renderCache() const { return m_renderCache; }

    // The clip this field masks (Clip::setMaskField), null when none; such a field is drawn only as that mask.
    Clip* maskedClip() const { return m_masked; }

private:
    std::shared_ptr<const EditText> m_definition;
    std::string m_text;
    bool m_html = false;
    TextFormat m_format, m_newFormat;
    bool m_border = false, m_background = false;
    Rgba m_borderColour{0, 0, 0, 255}, m_backgroundColour{255, 255, 255, 255};
    bool m_bindingStarted = false;
    mutable RenderCache m_renderCache;
    Clip* m_masked = nullptr;
    friend class Clip;
};

}  // namespace swf
