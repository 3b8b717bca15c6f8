#include "swf/avm1/host.h"

#include <cctype>

namespace swf::avm1 {

int clipPropertyIndex(const std::string& name)
{
    static const char* const names[] = {"_x", "_y", "_xscale", "_yscale", "_currentframe", "_totalframes",
        "_alpha", "_visible", "_width", "_height", "_rotation", "_target", "_framesloaded", "_name", "_droptarget",
        "_url", "_highquality", "_focusrect", "_soundbuftime", "_quality", "_xmouse", "_ymouse"};
    if (name.empty() || name[0] != '_') {
        return -1;
    }
    std::string folded = name;
    for (char& c : folded) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    for (int i = 0; i < int(sizeof names / sizeof names[0]); ++i) {
        if (folded == names[i]) {
            return i;
        }
    }
    return -1;
}

}  // namespace swf::avm1
