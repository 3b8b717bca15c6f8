// Clip properties (_x … _ymouse) as scripts read and write them on the display objects.
#include "swf/clipgeometry.h"
#include "swf/player.h"
#include "swf/scripthost.h"

#include <cmath>

namespace swf {

using avm1::ClipProperty;
using avm1::Value;

namespace {

constexpr double kPi = 3.14159265358979323846;

double xScaleOf(const Matrix& m) { return std::sqrt(m.a * m.a + m.b * m.b); }
double yScaleOf(const Matrix& m) { return std::sqrt(m.c * m.c + m.d * m.d); }
double rotationOf(const Matrix& m) { return std::atan2(m.b, m.a) * 180 / kPi; }

// Rebuilds the matrix's linear part from scales and a rotation in degrees, keeping its position.
void compose(Matrix& m, double xScale, double yScale, double rotation)
{
    double r = rotation * kPi / 180;
    m.a = xScale * std::cos(r);
    m.b = xScale * std::sin(r);
    m.c = -yScale * std::sin(r);
    m.d = yScale * std::cos(r);
}

// Rounds to what Flash keeps: positions in twips, scales and angles as doubles.
double pixels(double twips) { return twips / 20.0; }

}  // namespace

Value ScriptHost::property(Clip& clip, ClipProperty p)
{
    DisplayObject* holder = clip.holder();
    const Placement* placement = clip.placement();
    Matrix m = placement ? placement->matrix : Matrix();
    switch (p) {
    case ClipProperty::X: return Value(pixels(m.tx));
    case ClipProperty::Y: return Value(pixels(m.ty));
    case ClipProperty::XScale: return Value(xScaleOf(m) * 100);
    case ClipProperty::YScale: return Value(yScaleOf(m) * 100);
    case ClipProperty::Rotation: return Value(rotationOf(m));
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
            compose(m, n / 100, yScaleOf(m), rotationOf(m));
        break;
    case ClipProperty::YScale:
        if (number)
            compose(m, xScaleOf(m), n / 100, rotationOf(m));
        break;
    case ClipProperty::Rotation:
        if (number) {
            double r = std::fmod(n, 360.0);
            r = r > 180 ? r - 360 : r < -180 ? r + 360 : r;
            compose(m, xScaleOf(m), yScaleOf(m), r);
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
            compose(m, scale, yScaleOf(m), rotationOf(m));
        else
            compose(m, xScaleOf(m), scale, rotationOf(m));
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
