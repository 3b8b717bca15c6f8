// Clip properties (_x … _ymouse) as scripts read and write them on the display objects.
#include "swf/clipgeometry.h"
#include "swf/player.h"
#include "swf/scripthost.h"

#include <cctype>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>

namespace swf {

using avm1::ClipProperty;
using avm1::Value;

namespace {

constexpr double kPi = 3.14159265358979323846;

double xScaleOf(const Matrix& m) { return std::sqrt(m.a * m.a + m.b * m.b); }
double yScaleOf(const Matrix& m) { return std::sqrt(m.c * m.c + m.d * m.d); }
double rotationOf(const Matrix& m) { return std::atan2(m.b, m.a) * 180 / kPi; }
// How far the y axis turns beyond the x axis's turn, in degrees: a flip upside down is half a turn of it.
double skewOf(const Matrix& m) { return std::atan2(-m.c, m.d) * 180 / kPi - rotationOf(m); }

// Rebuilds the matrix's linear part from scales, a rotation and a skew in degrees, keeping its position.
void compose(Matrix& m, double xScale, double yScale, double rotation, double skew)
{
    double r = rotation * kPi / 180;
    double yAngle = r + skew * kPi / 180;
    m.a = xScale * std::cos(r);
    m.b = xScale * std::sin(r);
    m.c = -yScale * std::sin(yAngle);
    m.d = yScale * std::cos(yAngle);
}

// Rounds to what Flash keeps: positions in twips, scales and angles as doubles.
double pixels(double twips) { return twips / 20.0; }

// A double as a 32-bit integer, truncated as the processor does it: out of range or not finite gives the lowest.
std::int32_t truncated(double n)
{
    if (!(n > -2147483649.0 && n < 2147483648.0))
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(n);
}

// A value as a number for a clip property. An object answers through valueOf alone; a value that gives no number
// (undefined, null, NaN, an object) leaves the property as it was.
std::optional<double> propertyNumber(avm1::Vm& vm, const Value& v)
{
    if (v.isNullish())
        return std::nullopt;
    Value primitive = v;
    if (v.isObject()) {
        const Value valueOf = vm.get(v, "valueOf");
        primitive = vm.isCallable(valueOf) ? vm.call(valueOf, v, {}) : Value();
        if (vm.stopped() || !primitive.isPrimitive())
            return std::nullopt;
    }
    const double n = avm1::primitiveToNumber(primitive, vm.version());
    if (std::isnan(n))
        return std::nullopt;
    return n;
}

bool sameLinearPart(const ScaleRotation& s, const Matrix& m)
{
    return s.a == m.a && s.b == m.b && s.c == m.c && s.d == m.d;
}

// Scales in percent and the rotation in degrees: as a script set them, or as the matrix shows them.
ScaleRotation scaleRotationOf(const Placement& placement)
{
    const Matrix& m = placement.matrix;
    if (placement.scaleRotation && sameLinearPart(*placement.scaleRotation, m))
        return *placement.scaleRotation;
    return {xScaleOf(m) * 100, yScaleOf(m) * 100, rotationOf(m), skewOf(m), m.a, m.b, m.c, m.d};
}

// Rebuilds the matrix from the scales and rotation and keeps them; what the matrix cannot hold becomes 0 there.
void setScaleRotation(Placement& placement, ScaleRotation s)
{
    Matrix& m = placement.matrix;
    compose(m, s.xScale / 100, s.yScale / 100, s.rotation, s.skew);
    for (double* part : {&m.a, &m.b, &m.c, &m.d})
        if (!std::isfinite(*part))
            *part = 0;
    s.a = m.a, s.b = m.b, s.c = m.c, s.d = m.d;
    placement.scaleRotation = s;
}

double normalisedDegrees(double n)
{
    double r = std::fmod(n, 360.0);
    return r > 180 ? r - 360 : r < -180 ? r + 360 : r;
}

int highQualityOf(const std::string& quality)
{
    return quality == "LOW" ? 0 : quality == "BEST" ? 2 : 1;
}

std::string upperCase(std::string s)
{
    for (char& c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

}  // namespace

Value ScriptHost::property(Clip& clip, ClipProperty p)
{
    const Placement* placement = clip.placement();
    Matrix m = placement ? placement->matrix : Matrix();
    switch (p) {
    case ClipProperty::X: return Value(pixels(m.tx));
    case ClipProperty::Y: return Value(pixels(m.ty));
    case ClipProperty::XScale: return Value(placement ? scaleRotationOf(*placement).xScale : 100.0);
    case ClipProperty::YScale: return Value(placement ? scaleRotationOf(*placement).yScale : 100.0);
    case ClipProperty::Rotation: return Value(placement ? scaleRotationOf(*placement).rotation : 0.0);
    case ClipProperty::CurrentFrame:
        // A timeline without frames (an empty clip a script made) never entered one.
        return Value(clip.timeline() && clip.timeline()->frames.empty() ? 0 : int(clip.currentFrame()) + 1);
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
    case ClipProperty::Name: return Value(placement ? placement->name : std::string());
    case ClipProperty::DropTarget: return Value("");
    case ClipProperty::Url: return Value(m_player.url());
    case ClipProperty::HighQuality: return Value(highQualityOf(m_settings.quality));
    // A clip's own focus rectangle is unset until a script sets it; the root's is the player's.
    case ClipProperty::FocusRect: return clip.parent() ? Value::null() : Value(m_settings.focusRect);
    case ClipProperty::SoundBufTime: return Value(m_settings.soundBufferTime);
    case ClipProperty::Quality: return Value(m_settings.quality);
    case ClipProperty::XMouse:
    case ClipProperty::YMouse: {
        double x = 0, y = 0;
        globalToLocalOf(clip, m_pointerX, m_pointerY, x, y);
        return Value(std::round(pixels(p == ClipProperty::XMouse ? x : y)));
    }
    }
    return Value();
}

bool ScriptHost::setSetting(Clip& clip, ClipProperty p, const Value& v)
{
    switch (p) {
    case ClipProperty::Quality: {
        const std::string quality = upperCase(m_vm->toString(v));
        if (quality == "LOW" || quality == "MEDIUM" || quality == "HIGH" || quality == "BEST")
            m_settings.quality = quality;
        return true;
    }
    case ClipProperty::HighQuality:
        if (std::optional<double> n = propertyNumber(*m_vm, v))
            m_settings.quality = *n == 0 ? "LOW" : *n >= 2 ? "BEST" : "HIGH";
        return true;
    case ClipProperty::FocusRect:
        // An object turns the rectangle off without being asked for a number.
        if (clip.parent())
            return true;
        if (v.isObject())
            m_settings.focusRect = false;
        else if (std::optional<double> n = propertyNumber(*m_vm, v))
            m_settings.focusRect = *n != 0;
        return true;
    case ClipProperty::SoundBufTime:
        if (std::optional<double> n = propertyNumber(*m_vm, v))
            m_settings.soundBufferTime = truncated(*n);
        return true;
    default:
        return false;
    }
}

void ScriptHost::setProperty(Clip& clip, ClipProperty p, const Value& v)
{
    if (setSetting(clip, p, v))
        return;
    Placement* placement = clip.placement();
    if (!placement)
        return;
    if (p == ClipProperty::Name) {
        placement->name = m_vm->toString(v);
        objectOf(&clip)->lastPath = dottedPath(clip);
        return;
    }
    const std::optional<double> n = propertyNumber(*m_vm, v);
    if (!n)
        return;
    if (!setPlacementNumber(clip, *placement, p, *n))
        return;  // read-only
    if (DisplayObject* holder = clip.holder())
        holder->scriptMoved = true;
}

bool ScriptHost::setPlacementNumber(Clip& clip, Placement& placement, ClipProperty p, double n)
{
    Matrix& m = placement.matrix;
    ScaleRotation shape = scaleRotationOf(placement);
    switch (p) {
    case ClipProperty::X: m.tx = truncated(std::round(n * 20)); return true;
    case ClipProperty::Y: m.ty = truncated(std::round(n * 20)); return true;
    case ClipProperty::XScale: shape.xScale = n; break;
    case ClipProperty::YScale: shape.yScale = n; break;
    case ClipProperty::Rotation: shape.rotation = normalisedDegrees(n); break;
    case ClipProperty::Alpha:
        // Kept as 8.8 fixed point, so most values read back a little smaller.
        placement.colorTransform.aMult = std::int16_t(truncated(n / 100 * 256)) / 256.0;
        placement.colorTransform.aAdd = 0;
        return true;
    case ClipProperty::Visible: placement.visible = n != 0; return true;
    case ClipProperty::Width:
    case ClipProperty::Height: return setExtent(clip, placement, p == ClipProperty::Width, n);
    default: return false;
    }
    setScaleRotation(placement, shape);
    return true;
}

bool ScriptHost::setExtent(Clip& clip, Placement& placement, bool width, double n)
{
    if (!std::isfinite(n) || !m_movie)
        return false;
    Bounds local = clipBounds(clip, *m_movie);
    double extent = width ? local.xMax - local.xMin : local.yMax - local.yMin;
    if (local.empty || extent <= 0)
        return false;
    double scale = n * 20 / extent;
    Matrix& m = placement.matrix;
    if (width)
        compose(m, scale, yScaleOf(m), rotationOf(m), skewOf(m));
    else
        compose(m, xScaleOf(m), scale, rotationOf(m), skewOf(m));
    return true;
}

}  // namespace swf
