#include "swf/movie/edittext.h"

#include "swf/movie/clip.h"

namespace swf {

EditTextField::EditTextField(std::shared_ptr<const EditText> definition) : m_definition(std::move(definition))
{
    const EditText& d = *m_definition;
    m_format.fontId = d.fontId;
    m_format.face = d.fontClass;
    if (d.hasFont || !d.fontClass.empty())
        m_format.size = d.height;
    if (d.hasColour)
        m_format.colour = d.colour;
    m_format.align = d.align;
    m_format.leftMargin = d.leftMargin;
    m_format.rightMargin = d.rightMargin;
    m_format.indent = d.indent;
    m_format.leading = d.leading;
    m_newFormat = m_format;
    m_text = d.initialText;
    m_html = d.html;
    // The border flag of a definition asks for both a black frame and a white background.
    m_border = m_background = d.border;
}

EditTextField::~EditTextField()
{
    if (m_masked)
        m_masked->setMaskField(nullptr, nullptr);
}

void EditTextField::setText(const std::string& text)
{
    m_text = text;
    m_html = false;
    m_format = m_newFormat;
    m_renderCache = {};
}

void EditTextField::setHtmlText(const std::string& html)
{
    m_text = html;
    m_html = true;
    m_format = m_newFormat;
    m_renderCache = {};
}

void EditTextField::setBorder(bool on, Rgba colour)
{
    m_border = on;
    m_borderColour = colour;
    m_renderCache = {};
}

void EditTextField::setBackground(bool on, Rgba colour)
{
    m_background = on;
    m_backgroundColour = colour;
    m_renderCache = {};
}

}  // namespace swf
