#include "swf/format/shape.h"

#include "swf/io/bytereader.h"

#include <algorithm>

namespace swf {

namespace {

// Reads shape records until the end record or the data runs out; pen positions become absolute.
class RecordReader {
public:
    RecordReader(ByteReader& bytes, Shape* shape, const StyleContext& context)
        : m_bytes(bytes), m_bits(bytes), m_shape(shape), m_context(context) {}

    std::vector<ShapeRecord> read()
    {
        std::vector<ShapeRecord> out;
        m_fillBits = m_bits.ub(4);
        m_lineBits = m_bits.ub(4);
        while (!m_bytes.overrun()) {
            if (m_bits.flag()) {
                out.push_back(readEdge());
                continue;
            }
            unsigned flags = m_bits.ub(5);
            if (flags == 0)
                break;
            out.push_back(readStyleChange(flags));
        }
        if (m_bytes.overrun() && !out.empty())
            out.pop_back();  // the last record was cut off
        return out;
    }

private:
    ShapeRecord readEdge()
    {
        ShapeRecord r;
        bool straight = m_bits.flag();
        unsigned n = m_bits.ub(4) + 2;
        if (straight) {
            r.kind = ShapeRecord::Kind::Line;
            double dx = 0, dy = 0;
            if (m_bits.flag()) {
                dx = m_bits.sb(n);
                dy = m_bits.sb(n);
            } else if (m_bits.flag()) {
                dy = m_bits.sb(n);
            } else {
                dx = m_bits.sb(n);
            }
            m_x += dx;
            m_y += dy;
        } else {
            r.kind = ShapeRecord::Kind::Curve;
            r.cx = m_x + m_bits.sb(n);
            r.cy = m_y + m_bits.sb(n);
            m_x = r.cx + m_bits.sb(n);
            m_y = r.cy + m_bits.sb(n);
        }
        r.x = m_x;
        r.y = m_y;
        return r;
    }

    ShapeRecord readStyleChange(unsigned flags)
    {
        ShapeRecord r;
        r.kind = ShapeRecord::Kind::Style;
        if (flags & 0x01) {
            unsigned n = m_bits.ub(5);
            m_x = m_bits.sb(n);
            m_y = m_bits.sb(n);
            r.hasMove = true;
        }
        if (flags & 0x02)
            r.fill0 = static_cast<int>(m_bits.ub(m_fillBits));
        if (flags & 0x04)
            r.fill1 = static_cast<int>(m_bits.ub(m_fillBits));
        if (flags & 0x08)
            r.line = static_cast<int>(m_bits.ub(m_lineBits));
        if ((flags & 0x10) && m_shape) {
            m_bits.align();
            StyleTable table;
            readFillStyles(m_bytes, m_context, table.fills);
            readLineStyles(m_bytes, m_context, table.lines);
            m_shape->styleTables.push_back(std::move(table));
            r.newStyles = static_cast<int>(m_shape->styleTables.size() - 1);
            m_fillBits = m_bits.ub(4);
            m_lineBits = m_bits.ub(4);
        }
        r.x = m_x;
        r.y = m_y;
        return r;
    }

    ByteReader& m_bytes;
    BitReader m_bits;
    Shape* m_shape;
    StyleContext m_context;
    unsigned m_fillBits = 0, m_lineBits = 0;
    double m_x = 0, m_y = 0;
};

}  // namespace

Shape decodeShape(const std::uint8_t* body, std::size_t size, int shapeVersion)
{
    ByteReader reader(body, size);
    Shape shape;
    shape.id = reader.u16();
    shape.bounds = readRect(reader);
    if (shapeVersion >= 4) {
        readRect(reader);  // edge bounds
        std::uint8_t flags = reader.u8();
        shape.nonZeroWinding = (flags & 0x04) != 0;
    }
    StyleContext context{shapeVersion, false};
    StyleTable table;
    readFillStyles(reader, context, table.fills);
    readLineStyles(reader, context, table.lines);
    shape.styleTables.push_back(std::move(table));
    RecordReader records(reader, &shape, context);
    shape.records = records.read();
    return shape;
}

Shape decodeGlyphShape(const std::uint8_t* data, std::size_t size)
{
    ByteReader reader(data, size);
    Shape shape;
    StyleTable table;
    table.fills.push_back(FillStyle{});
    shape.styleTables.push_back(std::move(table));
    RecordReader records(reader, nullptr, StyleContext{1, false});
    shape.records = records.read();
    return shape;
}

MorphShape decodeMorphShape(const std::uint8_t* body, std::size_t size, int morphVersion)
{
    ByteReader reader(body, size);
    MorphShape morph;
    morph.id = reader.u16();
    morph.startBounds = readRect(reader);
    morph.endBounds = readRect(reader);
    if (morphVersion >= 2) {
        readRect(reader);
        readRect(reader);
        reader.u8();
    }
    std::uint32_t offset = reader.u32();
    std::size_t endEdges = reader.position() + offset;
    StyleContext context{morphVersion >= 2 ? 4 : 3, true};
    readFillStyles(reader, context, morph.start.fills, &morph.end.fills);
    readLineStyles(reader, context, morph.start.lines, &morph.end.lines);
    RecordReader start(reader, nullptr, context);
    morph.startRecords = start.read();
    if (endEdges < size) {
        ByteReader endReader(body + endEdges, size - endEdges);
        RecordReader end(endReader, nullptr, context);
        morph.endRecords = end.read();
    }
    return morph;
}

}  // namespace swf
