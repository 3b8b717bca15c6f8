#include "swf/avm1/runner.h"

#include "swf/avm1/vm.h"
#include "swf/format/tags.h"

#include <algorithm>

namespace swf::avm1 {

namespace {

ActionCode bodyOf(const SwfFile& movie, const TagHeader& tag, std::size_t skip)
{
    const std::size_t start = std::min(tag.bodyOffset + skip, movie.data.size());
    const std::size_t end = std::min(tag.bodyOffset + tag.length, movie.data.size());
    return std::make_shared<const std::vector<std::uint8_t>>(movie.data.begin() + std::ptrdiff_t(start),
                                                             movie.data.begin() + std::ptrdiff_t(std::max(start, end)));
}

bool spriteHasScripts(const SwfFile& movie, const TagHeader& sprite)
{
    const std::size_t end = std::min(sprite.bodyOffset + sprite.length, movie.data.size());
    TagStream inner(movie.data.data(), end, std::min(sprite.bodyOffset + 4, end));
    TagHeader tag;
    while (inner.next(tag)) {
        if (tag.code == tag::DoAction) {
            return true;
        }
    }
    return false;
}

// The headless root: an object whose clip properties (_currentframe, _totalframes …) come from the host.
class HeadlessClip : public Object {
public:
    HeadlessClip(Object* proto, bool caseSensitive, Host& host) : Object(proto, caseSensitive), m_host(host) {}
    bool getSpecial(Vm&, const std::string& name, Value& out) override
    {
        const int index = clipPropertyIndex(name);
        if (index < 0) {
            return false;
        }
        out = m_host.getClipProperty(this, ClipProperty(index));
        return true;
    }
    bool hasSpecial(const std::string& name) const override { return clipPropertyIndex(name) >= 0; }

private:
    Host& m_host;
};

}  // namespace

void HeadlessHost::attach(Vm& vm)
{
    m_root = vm.adopt(std::make_unique<HeadlessClip>(vm.builtins().objectProto, vm.version() >= 7, *this));
}

MovieScripts collectRootScripts(const SwfFile& movie)
{
    MovieScripts scripts;
    scripts.version = movie.header.version;
    scripts.frameRate = movie.header.framesPerSecond() > 0 ? movie.header.framesPerSecond() : 12;
    TagStream stream(movie.data.data(), movie.data.size(), movie.firstTagOffset);
    TagHeader tag;
    FrameScripts current;
    while (stream.next(tag)) {
        switch (tag.code) {
        case tag::DoAction:
            current.actions.push_back(bodyOf(movie, tag, 0));
            break;
        case tag::DoInitAction:
            current.initActions.push_back(bodyOf(movie, tag, 2));
            break;
        case tag::DefineSprite:
            scripts.hasNestedScripts = scripts.hasNestedScripts || spriteHasScripts(movie, tag);
            break;
        case tag::PlaceObject2:
        case tag::PlaceObject3:
            // The first flag bit says the placement carries clip event handlers.
            if (tag.length > 0 && tag.bodyOffset < movie.data.size() && (movie.data[tag.bodyOffset] & 0x80)) {
                scripts.hasNestedScripts = true;
            }
            break;
        case tag::ScriptLimits:
            if (tag.length >= 2 && tag.bodyOffset + 1 < movie.data.size()) {
                scripts.maxRecursionDepth = movie.data[tag.bodyOffset] | movie.data[tag.bodyOffset + 1] << 8;
            }
            break;
        case tag::ShowFrame:
            scripts.frames.push_back(std::move(current));
            current = FrameScripts{};
            break;
        default:
            break;
        }
    }
    if (!current.actions.empty() || !current.initActions.empty()) {
        scripts.frames.push_back(std::move(current));
    }
    return scripts;
}

void HeadlessHost::fscommand(const std::string& command, const std::string& argument)
{
    commands.emplace_back(command, argument);
    if (command == "quit") {
        quit = true;
    }
}

void HeadlessHost::getUrl(const std::string& url, const std::string& target, int)
{
    commands.emplace_back("getURL:" + url, target);
}

Object* HeadlessHost::parentOf(Object*)
{
    return nullptr;
}

Value HeadlessHost::getClipProperty(Object*, ClipProperty p)
{
    switch (p) {
    case ClipProperty::CurrentFrame:
        return Value(frame + 1);
    case ClipProperty::TotalFrames:
    case ClipProperty::FramesLoaded:
        return Value(m_totalFrames);
    case ClipProperty::Target:
        return Value("/");
    case ClipProperty::Name:
        return Value("");
    case ClipProperty::X:
    case ClipProperty::Y:
    case ClipProperty::Rotation:
        return Value(0);
    case ClipProperty::XScale:
    case ClipProperty::YScale:
    case ClipProperty::Alpha:
        return Value(100);
    case ClipProperty::Visible:
        return Value(true);
    default:
        return Value();
    }
}

void HeadlessHost::gotoFrame(Object*, int target, bool play)
{
    frame = std::clamp(target, 0, std::max(0, m_totalFrames - 1));
    playing = play;
    jumped = true;
}

void HeadlessHost::play(Object*)
{
    playing = true;
}

void HeadlessHost::stop(Object*)
{
    playing = false;
}

void HeadlessHost::nextFrame(Object* clip)
{
    gotoFrame(clip, frame + 1, false);
}

void HeadlessHost::prevFrame(Object* clip)
{
    gotoFrame(clip, frame - 1, false);
}

TraceRun runTrace(const MovieScripts& scripts, int frames, double tickMs)
{
    const int total = std::max<int>(1, int(scripts.frames.size()));
    HeadlessHost host(total);
    Vm vm(host, scripts.version);
    host.attach(vm);
    if (scripts.maxRecursionDepth > 0) {
        vm.setMaxCallDepth(scripts.maxRecursionDepth);
    }
    std::vector<bool> initDone(scripts.frames.size(), false);
    TraceRun run;
    int lastRun = -1;
    for (int i = 0; i < frames && !host.quit; ++i) {
        const int f = host.frame;
        vm.beginFrame();
        // A stopped timeline, or one of a single frame, does not run its frame's actions again.
        const bool enter = f != lastRun || host.jumped;
        host.jumped = false;
        if (f < int(scripts.frames.size()) && enter) {
            if (!initDone[std::size_t(f)]) {
                initDone[std::size_t(f)] = true;
                for (const ActionCode& code : scripts.frames[std::size_t(f)].initActions) {
                    vm.runScript(code, host.root());
                }
            }
            for (const ActionCode& code : scripts.frames[std::size_t(f)].actions) {
                vm.runScript(code, host.root());
            }
            lastRun = f;
        }
        host.clockMs += tickMs;
        vm.runTimers();
        ++run.framesRun;
        if (!host.jumped && host.playing) {
            host.frame = host.frame + 1 < total ? host.frame + 1 : 0;
        }
    }
    // A CR inside a traced string shows as a line break.
    for (std::string& line : host.lines) {
        std::replace(line.begin(), line.end(), '\r', '\n');
    }
    run.lines = std::move(host.lines);
    run.warnings = std::move(host.warnings);
    run.quit = host.quit;
    return run;
}

}  // namespace swf::avm1
