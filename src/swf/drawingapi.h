// What the drawing API records on a clip: fills and strokes in the order a script draws them, turned into a
// shape and its render geometry when the clip is painted, and only again after the drawing changes.
#pragma once

#include "swf/format/shape.h"
#include "swf/movie/clip.h"

#include <memory>
#include <optional>
#include <vector>

namespace swf {

class Drawing : public ClipDrawing {
public:
    // Coordinates are twips in the clip's space.
    void beginFill(const FillStyle& fill);
    void endFill();
    // No value: lines are no longer drawn.
    void lineStyle(const std::optional<LineStyle>& style);
    // Gives the current line style a fill (a gradient) in place of its colour; ignored without a line style.
    void lineFill(const FillStyle& fill);
    void moveTo(double x, double y);
    void lineTo(double x, double y);
    void curveTo(double cx, double cy, double x, double y);
    void clear();

    bool empty() const { return m_items.empty(); }
    // The drawing as shape records: one style table per fill, strokes of that fill after it.
    std::shared_ptr<const Shape> shape() const;
    std::shared_ptr<const ShapeGeometry> geometry() const override;

private:
    struct Segment {
        bool curve = false;
        double cx = 0, cy = 0, x = 0, y = 0;
    };
    struct SubPath {
        double startX = 0, startY = 0;
        std::vector<Segment> segments;
    };
    struct Stroke {
        LineStyle style;
        std::vector<SubPath> paths;
    };
    // A fill (or none, for lines drawn outside a fill) with the lines drawn while it was open.
    struct Item {
        std::optional<FillStyle> fill;
        std::vector<SubPath> fillPaths;
        std::vector<Stroke> strokes;
    };
    void add(const Segment& segment);
    void closeOutline();
    Item& currentItem();
    static void extend(std::vector<SubPath>& paths, double penX, double penY, const Segment& segment);
    void changed();

    std::vector<Item> m_items;
    bool m_filling = false;
    std::optional<LineStyle> m_line;
    bool m_newStroke = true;  // the line style changed since the last stroke segment
    double m_x = 0, m_y = 0;
    mutable std::shared_ptr<const Shape> m_shape;
    mutable std::shared_ptr<const ShapeGeometry> m_geometry;
};

}  // namespace swf
