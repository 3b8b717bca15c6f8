// libFuzzer target: any bytes as a movie, decoded, played for a few frames and rendered by the QPainter
// back end into a small image; every outcome but a crash, a hang or a leak is fine.
#include "swf/player.h"
#include "swf/qt/painterbackend.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    auto player = swf::Player::fromBytes(data, size);
    if (!player)
        return 0;
    swf::Player& p = *player.value();
    // An endless script is stopped by the action budget; a small one keeps each input quick. A loop that builds
    // a string by appending to it allocates in proportion to the square of its actions: 200,000 actions made
    // over a gigabyte of short-lived strings, which AddressSanitizer's allocator keeps resident.
    p.setScriptBudget(20'000, 1'000);
    swf::View view;
    view.width = 64;
    view.height = 48;
    view.quality = swf::Quality::High;
    for (int frame = 0; frame < 3; ++frame) {
        p.advance();
        swf::renderImage(p, view);
    }
    p.gotoFrame(0);
    swf::renderImage(p, view);
    return 0;
}
