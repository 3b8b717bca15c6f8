#include "swf/qt/fontprovider.h"

#include "swf/limits.h"

#include <QFont>
#include <QGlyphRun>
#include <QTextLayout>
#include <QGuiApplication>
#include <QPainterPath>

namespace swf {

namespace {

PathSegment segment(PathSegment::Kind kind, QPointF p, QPointF c = {})
{
    PathSegment s;
    s.kind = kind;
    s.x = p.x();
    s.y = p.y();
    s.cx = c.x();
    s.cy = c.y();
    return s;
}

// Outlines of TrueType fonts are quadratic (Qt stores them as exact cubics); a cubic of other fonts is split in two
// halves, each close to one quadratic curve.
void appendCubic(Path& path, QPointF p0, QPointF c1, QPointF c2, QPointF p3)
{
    QPointF quad = (3 * c1 - p0) / 2;
    QPointF other = (3 * c2 - p3) / 2;
    if (std::abs(quad.x() - other.x()) + std::abs(quad.y() - other.y()) < 1) {
        path.push_back(segment(PathSegment::Kind::Quad, p3, quad));
        return;
    }
    QPointF a = (p0 + c1) / 2, b = (c1 + c2) / 2, c = (c2 + p3) / 2;
    QPointF ab = (a + b) / 2, bc = (b + c) / 2, mid = (ab + bc) / 2;
    path.push_back(segment(PathSegment::Kind::Quad, mid, (3 * (a + ab) - (p0 + mid)) / 4));
    path.push_back(segment(PathSegment::Kind::Quad, p3, (3 * (bc + c) - (mid + p3)) / 4));
}

Path convert(const QPainterPath& outline)
{
    Path path;
    QPointF last;
    for (int i = 0; i < outline.elementCount(); ++i) {
        QPainterPath::Element e = outline.elementAt(i);
        if (e.type == QPainterPath::MoveToElement) {
            path.push_back(segment(PathSegment::Kind::Move, e));
        } else if (e.type == QPainterPath::LineToElement) {
            path.push_back(segment(PathSegment::Kind::Line, e));
        } else if (e.type == QPainterPath::CurveToElement && i + 2 < outline.elementCount()) {
            QPointF c2 = outline.elementAt(i + 1), p3 = outline.elementAt(i + 2);
            appendCubic(path, last, e, c2, p3);
            i += 2;
            last = p3;
            continue;
        }
        last = e;
    }
    return path;
}

}  // namespace

QStringList QtFontProvider::familiesFor(const std::string& face)
{
    // Flash's generic faces take the Noto faces most desktops have, then DejaVu, which every one has; a named
    // face the system lacks falls to the system's own substitute.
    if (face == "_sans" || face.empty())
        return {QStringLiteral("Noto Sans"), QStringLiteral("DejaVu Sans")};
    if (face == "_serif")
        return {QStringLiteral("Noto Serif"), QStringLiteral("DejaVu Serif")};
    if (face == "_typewriter")
        return {QStringLiteral("Noto Sans Mono"), QStringLiteral("DejaVu Sans Mono")};
    return {QString::fromStdString(face)};
}

QFont QtFontProvider::qtFont(const DeviceFont& font)
{
    QFont f;
    f.setFamilies(familiesFor(font.face));
    f.setPixelSize(static_cast<int>(kEm));
    f.setBold(font.bold);
    f.setItalic(font.italic);
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

const QRawFont& QtFontProvider::rawFont(const DeviceFont& font)
{
    auto key = std::make_tuple(font.face, font.bold, font.italic);
    auto it = m_fonts.find(key);
    if (it != m_fonts.end())
        return it->second;
    QRawFont raw;
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        raw = QRawFont::fromFont(qtFont(font));
    }
    return m_fonts[key] = raw;
}

QtFontProvider::ResolvedGlyph QtFontProvider::resolve(const DeviceFont& font, char32_t code)
{
    auto key = std::make_tuple(font.face, font.bold, font.italic, code);
    auto it = m_glyphs.find(key);
    if (it != m_glyphs.end())
        return it->second;
    ResolvedGlyph resolved{rawFont(font), 0};
    char32_t text[1] = {code};
    QString s = QString::fromUcs4(text, 1);
    if (resolved.font.isValid()) {
        QList<quint32> indexes = resolved.font.glyphIndexesForString(s);
        resolved.index = indexes.isEmpty() ? 0 : indexes.front();
    }
    // A character the face lacks (Chinese in a Latin face, say) comes from the font the system falls back to, as
    // Flash's device text does.
    if (resolved.index == 0 && resolved.font.isValid() && code > ' ') {
        QTextLayout layout(s, qtFont(font));
        layout.beginLayout();
        layout.createLine();
        layout.endLayout();
        for (const QGlyphRun& run : layout.glyphRuns()) {
            if (!run.glyphIndexes().isEmpty() && run.glyphIndexes().front() != 0) {
                resolved.font = run.rawFont();
                resolved.font.setPixelSize(kEm);
                resolved.index = run.glyphIndexes().front();
                break;
            }
        }
    }
    if (m_glyphs.size() >= limits::kMaxDeviceGlyphs)
        m_glyphs.clear();
    return m_glyphs[key] = resolved;
}

DeviceFontMetrics QtFontProvider::metrics(const DeviceFont& font)
{
    const QRawFont& raw = rawFont(font);
    if (!raw.isValid())
        return {kEm * 0.9, kEm * 0.2, 0};
    return {raw.ascent(), raw.descent(), raw.leading()};
}

double QtFontProvider::advance(const DeviceFont& font, char32_t code)
{
    const QRawFont& raw = rawFont(font);
    if (!raw.isValid())
        return kEm / 2;
    ResolvedGlyph g = resolve(font, code);
    QList<QPointF> advances = g.font.advancesForGlyphIndexes(QList<quint32>{g.index});
    return advances.isEmpty() ? 0 : advances.front().x();
}

std::shared_ptr<const ShapeGeometry> QtFontProvider::glyph(const DeviceFont& font, char32_t code)
{
    const QRawFont& raw = rawFont(font);
    if (!raw.isValid())
        return nullptr;
    ResolvedGlyph resolved = resolve(font, code);
    QPainterPath outline = resolved.font.pathForGlyph(resolved.index);
    if (outline.isEmpty())
        return nullptr;
    auto g = std::make_shared<ShapeGeometry>();
    g->nonZeroWinding = true;
    QRectF box = outline.boundingRect();
    g->bounds
        = Rect{static_cast<std::int32_t>(std::floor(box.left())), static_cast<std::int32_t>(std::ceil(box.right())),
               static_cast<std::int32_t>(std::floor(box.top())), static_cast<std::int32_t>(std::ceil(box.bottom()))};
    GeometryLayer layer;
    FillPath fill;
    fill.style.colour = Rgba{0, 0, 0, 255};
    fill.path = convert(outline);
    layer.fills.push_back(std::move(fill));
    g->layers.push_back(std::move(layer));
    return g;
}

}  // namespace swf
