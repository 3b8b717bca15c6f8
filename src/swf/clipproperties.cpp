// Clip properties (_x … _ymouse) as scripts read and write them on the display objects.
#include "swf/clipgeometry.h"
#include "swf/player.h"
#include "swf/scripthost.h"

#include <cmath>
#include <optional>

namespace swf {

using avm1::ClipProperty;
using avm1::Value;

namespace {

constexpr double kPi = 3.14159265358979323846;

bool sameLinearPart(const Matrix& x, const Matrix& y)
{
    return x.a == y.a && x.b == y.b && x.c == y.c && x.d == y.d;
}

// The scales and rotation scripts see: the ones they last set while the matrix is still what those made, else
// the matrix's own (positive scales, the x axis's angle, and the y axis's angle beyond it as skew).
ScaleRotation& scaleRotationOf(Placement& p)
{
    ScaleRotation& s = p.scaleRotation;
    if (s.known && sameLinearPart(s.madeFor, p.matrix))
        return s;
    const Matrix& m = p.matrix;
    s.xScale = std::hypot(m.a, m.b);
    s.yScale = std::hypot(m.c, m.d);
    s.rotation = std::atan2(m.b, m.a);
    s.skew = std::atan2(-m.c, m.d) - s.rotation;
    s.known = true;
    s.madeFor = m;
    return s;
}

// Rebuilds the matrix's linear part from the scales and angles, keeping its position.
void compose(Placement& p, const ScaleRotation& s)
{
    Matrix& m = p.matrix;
    const double yAngle = s.rotation + s.skew;
    m.a = s.xScale * std::cos(s.rotation);
    m.b = s.xScale * std::sin(s.rotation);
    m.c = -s.yScale * std::sin(yAngle);
    m.d = s.yScale * std::cos(yAngle);
    p.scaleRotation = s;
    p.scaleRotation.madeFor = m;
}

void setScales(Placement& p, std::optional<double> xScale, std::optional<double> yScale)
{
    ScaleRotation s = scaleRotationOf(p);
    s.xScale = xScale.value_or(s.xScale);
    s.yScale = yScale.value_or(s.yScale);
    compose(p, s);
}

// Rounds to what Flash keeps: positions in twips, scales and angles as doubles.
double pixels(double twips) { return twips / 20.0; }

}  // namespace

Value ScriptHost::property(Clip& clip, ClipProperty p)
{
    DisplayObject* holder = clip.holder();
    const Placement* placement = clip.placement();
    Matrix m = placement ? placement->matrix : Matrix();
    const ScaleRotation s = placement ? scaleRotationOf(*clip.placement()) : ScaleRotation();
    switch (p) {
    case ClipProperty::X: return Value(pixels(m.tx));
    case ClipProperty::Y: return Value(pixels(m.ty));
    case ClipProperty::XScale: return Value(s.xScale * 100);
    case ClipProperty::YScale: return Value(s.yScale * 100);
    case ClipProperty::Rotation: return Value(s.rotation * 180 / kPi);
    case ClipProperty::CurrentFrame: return Value(int(clip.currentFrame()) + 1);
    case ClipProperty::TotalFrames:
        // While the movie is still arriving, the root's count is the one its header declares.
        return Value(int(clip.parent() || !m_player.root() || &clip != m_player.root() ? clip.frameCount()
                                                                                        : m_player.totalFrames()));
    case ClipProperty::FramesLoaded: return Value(int(clip.availableFrames()));
    case ClipProperty::Alpha: {
        const ColorTransform& c = placement ? placement->colorTransform : ColorTransform();
        return Value(c.aMult * 100 + c.aAdd / 2.56);
    }
    case ClipProperty::Visible: return Value(placement ? placement->visible : true);
    case ClipProperty::Width:
    case ClipProperty::Height: {
        Bounds b;
        if (m_movie)
            b.add(clipBounds(clip, *m_movie), m);
        if (b.empty)
            return Value(0);
        return Value(pixels(p == ClipProperty::Width ? b.xMax - b.xMin : b.yMax - b.yMin));
    }
    case ClipProperty::Target: return Value(slashPath(clip));
    case ClipProperty::Name: return Value(holder ? holder->placement.name : std::string());
    case ClipProperty::DropTarget: return Value("");
    case ClipProperty::Url: return Value(m_player.url());
    case ClipProperty::HighQuality: return Value(1);
    case ClipProperty::FocusRect: return Value(true);
    case ClipProperty::SoundBufTime: return Value(5);
    case ClipProperty::Quality: return Value("HIGH");
    case ClipProperty::XMouse:
    case ClipProperty::YMouse: {
        double x = 0, y = 0;
        globalToLocalOf(clip, m_pointerX, m_pointerY, x, y);
        return Value(std::round(pixels(p == ClipProperty::XMouse ? x : y)));
    }
    }
    return Value();
}

void ScriptHost::setProperty(Clip& clip, ClipProperty p, const Value& v)
{
    DisplayObject* holder = clip.holder();
    if (p == ClipProperty::Quality || p == ClipProperty::HighQuality || p == ClipProperty::FocusRect ||
        p == ClipProperty::SoundBufTime)
        return;  // the player's settings; movies may write them, nothing changes here
    Placement* placement = clip.placement();
    if (!placement)
        return;
    double n = m_vm->toNumber(v);
    bool number = std::isfinite(n);
    Matrix& m = placement->matrix;
    switch (p) {
    case ClipProperty::X:
        if (number)
            m.tx = std::round(n * 20);
        break;
    case ClipProperty::Y:
        if (number)
            m.ty = std::round(n * 20);
        break;
    case ClipProperty::XScale:
        if (number)
            setScales(*placement, n / 100, std::nullopt);
        break;
    case ClipProperty::YScale:
        if (number)
            setScales(*placement, std::nullopt, n / 100);
        break;
    case ClipProperty::Rotation:
        if (number) {
            double r = std::fmod(n, 360.0);
            r = r > 180 ? r - 360 : r < -180 ? r + 360 : r;
            ScaleRotation s = scaleRotationOf(*placement);
            s.rotation = r * kPi / 180;
            compose(*placement, s);
        }
        break;
    case ClipProperty::Alpha:
        if (number) {
            placement->colorTransform.aMult = n / 100;
            placement->colorTransform.aAdd = 0;
        }
        break;
    case ClipProperty::Visible:
        placement->visible = avm1::toBoolean(v, m_vm->version());
        break;
    case ClipProperty::Width:
    case ClipProperty::Height: {
        if (!number || !m_movie)
            return;
        Bounds local = clipBounds(clip, *m_movie);
        double extent = p == ClipProperty::Width ? local.xMax - local.xMin : local.yMax - local.yMin;
        if (local.empty || extent <= 0)
            return;
        double scale = n * 20 / extent;
        if (p == ClipProperty::Width)
            setScales(*placement, scale, std::nullopt);
        else
            setScales(*placement, std::nullopt, scale);
        break;
    }
    case ClipProperty::Name:
        if (!holder)
            return;
        holder->placement.name = m_vm->toString(v);
        objectOf(&clip)->lastPath = dottedPath(clip);
        break;
    default:
        return;  // read-only
    }
    if (holder)
        holder->scriptMoved = true;
}

}  // namespace swf
