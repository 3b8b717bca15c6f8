#include "swf/textfieldformat.h"

#include <algorithm>
#include <cmath>

namespace swf {

using avm1::Value;
using avm1::Vm;

namespace {

const char* alignName(TextAlign a)
{
    switch (a) {
    case TextAlign::Right: return "right";
    case TextAlign::Center: return "center";
    case TextAlign::Justify: return "justify";
    case TextAlign::Left: break;
    }
    return "left";
}

// Sizes and margins are whole pixels in a TextFormat; the field keeps twips.
double pixels(double twips)
{
    return std::round(twips / 20.0);
}

}  // namespace

double colourToNumber(Rgba c)
{
    return double((std::uint32_t(c.r) << 16) | (std::uint32_t(c.g) << 8) | c.b);
}

Rgba numberToColour(double n)
{
    const std::uint32_t v = std::isfinite(n) ? std::uint32_t(avm1::toInt32(n)) : 0;
    return Rgba{std::uint8_t(v >> 16), std::uint8_t(v >> 8), std::uint8_t(v), 255};
}

void readTextFormat(Vm& vm, const Value& object, TextFormat& f)
{
    if (!object.asObject())
        return;
    auto attribute = [&vm, &object](const char* name, auto apply) {
        const Value v = vm.get(object, name);
        if (!v.isUndefined() && !v.isNull())
            apply(v);
    };
    auto twips = [&vm](const Value& v) {
        const double n = vm.toNumber(v);
        return std::isfinite(n) ? n * 20.0 : 0.0;
    };
    attribute("font", [&](const Value& v) {
        f.face = vm.toString(v);
        f.fontId = 0;
    });
    attribute("size", [&](const Value& v) { f.size = std::max(0.0, twips(v)); });
    attribute("color", [&](const Value& v) { f.colour = numberToColour(vm.toNumber(v)); });
    attribute("bold", [&](const Value& v) { f.bold = avm1::toBoolean(v, vm.version()); });
    attribute("italic", [&](const Value& v) { f.italic = avm1::toBoolean(v, vm.version()); });
    attribute("underline", [&](const Value& v) { f.underline = avm1::toBoolean(v, vm.version()); });
    attribute("leading", [&](const Value& v) { f.leading = twips(v); });
    attribute("leftMargin", [&](const Value& v) { f.leftMargin = std::max(0.0, twips(v)); });
    attribute("rightMargin", [&](const Value& v) { f.rightMargin = std::max(0.0, twips(v)); });
    attribute("indent", [&](const Value& v) { f.indent = twips(v); });
    attribute("letterSpacing", [&](const Value& v) { f.letterSpacing = twips(v); });
    attribute("align", [&](const Value& v) {
        const std::string a = vm.toString(v);
        for (TextAlign known : {TextAlign::Left, TextAlign::Right, TextAlign::Center, TextAlign::Justify})
            if (a == alignName(known))
                f.align = known;
    });
}

Value makeTextFormat(Vm& vm, const TextFormat& f, const std::string& fontName)
{
    const Value constructor = vm.get(Value(vm.global()), "TextFormat");
    const Value object = vm.construct(constructor, {});
    if (!object.asObject())
        return object;
    auto put = [&vm, &object](const char* name, const Value& v) { vm.set(object, name, v); };
    put("font", Value(fontName));
    put("size", Value(pixels(f.size)));
    put("color", Value(colourToNumber(f.colour)));
    put("bold", Value(f.bold));
    put("italic", Value(f.italic));
    put("underline", Value(f.underline));
    put("url", Value(std::string()));
    put("target", Value(std::string()));
    put("align", Value(alignName(f.align)));
    put("leftMargin", Value(pixels(f.leftMargin)));
    put("rightMargin", Value(pixels(f.rightMargin)));
    put("indent", Value(pixels(f.indent)));
    put("leading", Value(pixels(f.leading)));
    put("blockIndent", Value(0.0));
    put("tabStops", Value(static_cast<avm1::Object*>(vm.newArray())));
    put("bullet", Value(false));
    put("kerning", Value(false));
    put("letterSpacing", Value(f.letterSpacing / 20.0));
    return object;
}

}  // namespace swf
