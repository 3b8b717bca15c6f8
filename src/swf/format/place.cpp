#include "swf/format/place.h"

#include "swf/io/bytereader.h"

#include <algorithm>

namespace swf {

namespace {

void readShadowFlags(ByteReader& r, Filter& f, bool hasPasses)
{
    std::uint8_t flags = r.u8();
    f.inner = flags & 0x80;
    f.knockout = flags & 0x40;
    f.passes = hasPasses ? (flags & 0x0F) : 1;
}

Filter readFilter(ByteReader& r)
{
    Filter f;
    std::uint8_t kind = r.u8();
    f.kind = static_cast<Filter::Kind>(std::min<std::uint8_t>(kind, 7));
    switch (f.kind) {
    case Filter::Kind::DropShadow:
    case Filter::Kind::Glow:
        f.colour = readRgba(r);
        f.blurX = r.fixed16();
        f.blurY = r.fixed16();
        if (f.kind == Filter::Kind::DropShadow) {
            f.angle = r.fixed16();
            f.distance = r.fixed16();
        }
        f.strength = r.fixed8();
        readShadowFlags(r, f, true);
        break;
    case Filter::Kind::Blur:
        f.blurX = r.fixed16();
        f.blurY = r.fixed16();
        f.passes = r.u8() >> 3;
        break;
    case Filter::Kind::Bevel:
        f.colour = readRgba(r);
        readRgba(r);
        f.blurX = r.fixed16();
        f.blurY = r.fixed16();
        f.angle = r.fixed16();
        f.distance = r.fixed16();
        f.strength = r.fixed8();
        readShadowFlags(r, f, true);
        break;
    case Filter::Kind::GradientGlow:
    case Filter::Kind::GradientBevel: {
        int n = r.u8();
        for (int i = 0; i < n; ++i)
            f.colour = readRgba(r);
        r.skip(n);
        f.blurX = r.fixed16();
        f.blurY = r.fixed16();
        f.angle = r.fixed16();
        f.distance = r.fixed16();
        f.strength = r.fixed8();
        readShadowFlags(r, f, true);
        break;
    }
    case Filter::Kind::Convolution: {
        int x = r.u8(), y = r.u8();
        r.f32();
        r.f32();
        for (int i = 0; i < x * y && !r.overrun(); ++i)
            f.matrix.push_back(r.f32());
        f.colour = readRgba(r);
        r.u8();
        break;
    }
    case Filter::Kind::ColorMatrix:
        for (int i = 0; i < 20; ++i)
            f.matrix.push_back(r.f32());
        break;
    }
    return f;
}

}  // namespace

std::vector<Filter> readFilterList(ByteReader& reader)
{
    std::vector<Filter> filters;
    int count = reader.u8();
    for (int i = 0; i < count && !reader.overrun(); ++i)
        filters.push_back(readFilter(reader));
    if (reader.overrun())
        filters.clear();
    return filters;
}

namespace {

PlaceObject decodeVersion1(ByteReader& r)
{
    PlaceObject p;
    p.characterId = r.u16();
    p.depth = r.u16();
    p.matrix = readMatrix(r);
    if (!r.atEnd())
        p.colorTransform = readColorTransform(r, false);
    return p;
}

// The onClipEvent handlers at the end of a PlaceObject2/3 body; event masks are 16 bits before SWF 6.
std::vector<ClipEventHandler> readClipActions(ByteReader& r, int swfVersion)
{
    std::vector<ClipEventHandler> handlers;
    auto eventMask = [&]() -> std::uint32_t { return swfVersion >= 6 ? r.u32() : r.u16(); };
    r.u16();  // reserved
    eventMask();  // all events, the union of the handlers'
    while (!r.overrun() && !r.atEnd()) {
        ClipEventHandler h;
        h.events = eventMask();
        if (h.events == 0 || r.overrun())
            break;
        std::uint32_t size = r.u32();
        if (h.events & clipevent::KeyPress) {
            h.keyCode = r.u8();
            size = size > 0 ? size - 1 : 0;
        }
        if (r.overrun() || size > r.remaining())
            break;
        h.actions.assign(r.current(), r.current() + size);
        r.skip(size);
        handlers.push_back(std::move(h));
    }
    return handlers;
}

}  // namespace

PlaceObject decodePlaceObject(const std::uint8_t* body, std::size_t size, int version, int swfVersion)
{
    (void)swfVersion;
    ByteReader r(body, size);
    if (version == 1) {
        PlaceObject p = decodeVersion1(r);
        return p;
    }
    PlaceObject p;
    p.version = version;
    std::uint8_t flags = r.u8();
    std::uint8_t flags2 = version >= 3 ? r.u8() : 0;
    p.depth = r.u16();
    p.move = flags & 0x01;
    if ((flags2 & 0x08) || ((flags2 & 0x10) && (flags & 0x02)))
        p.className = r.cstring();
    if (flags & 0x02)
        p.characterId = r.u16();
    if (flags & 0x04)
        p.matrix = readMatrix(r);
    if (flags & 0x08)
        p.colorTransform = readColorTransform(r, true);
    if (flags & 0x10)
        p.ratio = r.u16();
    if (flags & 0x20)
        p.name = r.cstring();
    if (flags & 0x40)
        p.clipDepth = r.u16();
    if (flags2 & 0x01)
        p.filters = readFilterList(r);
    if (flags2 & 0x02) {
        std::uint8_t mode = r.u8();
        p.blendMode = mode >= 1 && mode <= 14 ? static_cast<BlendMode>(mode) : BlendMode::Normal;
    }
    if (flags2 & 0x04)
        p.cacheAsBitmap = r.u8() != 0;
    if (flags2 & 0x20)
        p.visible = r.u8() != 0;
    if (flags2 & 0x40)
        p.opaqueBackground = readRgba(r);
    p.hasClipActions = flags & 0x80;
    if (p.hasClipActions)
        p.clipActions = readClipActions(r, swfVersion);
    return p;
}

}  // namespace swf
