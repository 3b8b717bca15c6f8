// What a quick walk over a movie's tags tells: counts of tags, frames, characters and scripts.
#pragma once

#include "swf/format/header.h"

#include <cstddef>
#include <string>
#include <vector>

namespace swf {

struct MovieSummary {
    std::size_t tags = 0;        // tag records of the root timeline, End included
    std::size_t frames = 0;      // ShowFrame tags of the root timeline
    std::size_t characters = 0;  // character definitions
    std::size_t scripts = 0;     // DoAction and DoInitAction blocks, in sprites too
    bool actionScript3 = false;  // FileAttributes says so, or the movie carries ABC code
    bool endTag = false;         // the root timeline ends with an End tag
    std::vector<std::string> problems;
};

MovieSummary summarize(const SwfFile& file);

}  // namespace swf
