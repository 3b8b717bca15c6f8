#include "swf/qt/fontprovider.h"

#include <QFont>
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

// Outlines of TrueType fonts are quadratic (Qt stores them as exact cubics); a
// cubic of other fonts is split in two halves, each close to one quadratic
// curve.
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

QString QtFontProvider::familyFor(const std::string& face)
{
    if (face == "_sans" || face.empty())
        return QStringLiteral("DejaVu Sans");
    if (face == "_serif")
        return QStringLiteral("DejaVu Serif");
    if (face == "_typewriter")
        return QStringLiteral("DejaVu Sans Mono");
    return QString::fromStdString(face);
}

const QRawFont& QtFontProvider::rawFont(const DeviceFont& font)
{
    auto key = std::make_tuple(font.face, font.bold, font.italic);
    auto it = m_fonts.find(key);
    if (it != m_fonts.end())
        return it->second;
    QRawFont raw;
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        QFont f(familyFor(font.face));
        f.setPixelSize(static_cast<int>(kEm));
        f.setBold(font.bold);
        f.setItalic(font.italic);
        f.setHintingPreference(QFont::PreferNoHinting);
        raw = QRawFont::fromFont(f);
    }
    return m_fonts[key] = raw;
}

quint32 QtFontProvider::glyphIndex(const QRawFont& raw, char32_t code) const
{
    char32_t text[1] = {code};
    QString s = QString::fromUcs4(text, 1);
    QList<quint32> indexes = raw.glyphIndexesForString(s);
    return indexes.isEmpty() ? 0 : indexes.front();
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
    quint32 index = glyphIndex(raw, code);
    QList<QPointF> advances = raw.advancesForGlyphIndexes(QList<quint32>{index});
    return advances.isEmpty() ? 0 : advances.front().x();
}

std::shared_ptr<const ShapeGeometry> QtFontProvider::glyph(const DeviceFont& font, char32_t code)
{
    const QRawFont& raw = rawFont(font);
    if (!raw.isValid())
        return nullptr;
    quint32 index = glyphIndex(raw, code);
    QPainterPath outline = raw.pathForGlyph(index);
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
