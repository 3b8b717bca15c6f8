// System fonts for device text through Qt: the movie's face names (and "_sans", "_serif", "_typewriter") are matched by
// fontconfig, and glyph outlines come from QRawFont.
#pragma once

#include "swf/render/fontprovider.h"

#include <QFont>
#include <QRawFont>

#include <map>
#include <string>
#include <tuple>

namespace swf {

class QtFontProvider : public FontProvider {
public:
    DeviceFontMetrics metrics(const DeviceFont& font) override;
    double advance(const DeviceFont& font, char32_t code) override;
    std::shared_ptr<const ShapeGeometry> glyph(const DeviceFont& font, char32_t code) override;

    // The families asked of the system for a face name of a movie, the preferred first.
    static QStringList familiesFor(const std::string& face);

private:
    // A raw font one em high; invalid when no font could be loaded (or no GUI application runs).
    const QRawFont& rawFont(const DeviceFont& font);
    static QFont qtFont(const DeviceFont& font);
    // The font and glyph that draw a character: the face's own, or the system's fallback.
    struct ResolvedGlyph {
        QRawFont font;
        quint32 index = 0;
    };
    ResolvedGlyph resolve(const DeviceFont& font, char32_t code);

    std::map<std::tuple<std::string, bool, bool>, QRawFont> m_fonts;
    std::map<std::tuple<std::string, bool, bool, char32_t>, ResolvedGlyph> m_glyphs;
};

}  // namespace swf
