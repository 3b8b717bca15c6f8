#include "swf/movie/simpleactions.h"

#include "swf/io/bytereader.h"

namespace swf {

namespace {

struct ActionRecord {
    std::uint8_t code = 0;
    ByteReader payload;
};

// Reads the next record; false at the end of the data or when a record's length runs past it.
bool nextAction(ByteReader& reader, ActionRecord& record)
{
    if (reader.atEnd())
        return false;
    record.code = reader.u8();
    std::size_t length = 0;
    if (record.code >= 0x80) {
        length = reader.u16();
        if (reader.overrun() || length > reader.remaining())
            return false;
    }
    record.payload = reader.sub(length);
    return true;
}

bool isSimple(std::uint8_t code)
{
    switch (code) {
    case action::End: case action::NextFrame: case action::PreviousFrame: case action::Play:
    case action::Stop: case action::ToggleQuality: case action::StopSounds: case action::GotoFrame:
    case action::GetURL: case action::WaitForFrame: case action::SetTarget: case action::GotoLabel:
        return true;
    default:
        return false;
    }
}

void runOne(ActionRecord& a, ActionHost& host, int& skip)
{
    switch (a.code) {
    case action::NextFrame: host.nextFrame(); break;
    case action::PreviousFrame: host.previousFrame(); break;
    case action::Play: host.play(); break;
    case action::Stop: host.stop(); break;
    case action::ToggleQuality: host.toggleQuality(); break;
    case action::StopSounds: host.stopSounds(); break;
    case action::GotoFrame: host.gotoFrame(a.payload.u16()); break;
    case action::GotoLabel: host.gotoLabel(a.payload.cstring()); break;
    case action::SetTarget: host.setTarget(a.payload.cstring()); break;
    case action::GetURL: {
        std::string url = a.payload.cstring();
        std::string target = a.payload.cstring();
        host.getUrl(url, target);
        break;
    }
    case action::WaitForFrame: {
        std::size_t frame = a.payload.u16();
        int count = a.payload.u8();
        if (!host.frameLoaded(frame))
            skip = count;
        break;
    }
    default:
        break;
    }
}

}  // namespace

bool onlySimpleActions(const std::uint8_t* data, std::size_t size)
{
    ByteReader reader(data, size);
    ActionRecord a;
    while (nextAction(reader, a)) {
        if (!isSimple(a.code))
            return false;
        if (a.code == action::End)
            return true;
    }
    return reader.atEnd() && !reader.overrun();
}

void runSimpleActions(const std::uint8_t* data, std::size_t size, ActionHost& host)
{
    if (!onlySimpleActions(data, size))
        return;
    ByteReader reader(data, size);
    ActionRecord a;
    int skip = 0;
    while (nextAction(reader, a) && a.code != action::End) {
        if (skip > 0) {
            --skip;
            continue;
        }
        runOne(a, host, skip);
    }
}

}  // namespace swf
