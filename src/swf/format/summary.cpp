#include "swf/format/summary.h"

#include "swf/format/tags.h"
#include "swf/limits.h"

namespace swf {

namespace {

// Counts the scripts inside one DefineSprite body (sprite id and frame count come first).
std::size_t scriptsInSprite(const SwfFile& file, const TagHeader& sprite)
{
    std::size_t count = 0;
    std::size_t end = sprite.bodyOffset + sprite.length;
    TagStream inner(file.data.data(), end, sprite.bodyOffset + 4);
    TagHeader tag;
    while (inner.next(tag)) {
        if (tag.code == tag::DoAction || tag.code == tag::DoInitAction)
            ++count;
    }
    return count;
}

}  // namespace

MovieSummary summarize(const SwfFile& file)
{
    MovieSummary s;
    s.problems = file.problems;
    TagStream stream(file.data.data(), file.data.size(), file.firstTagOffset);
    TagHeader tag;
    while (stream.next(tag)) {
        if (++s.tags > limits::kMaxTagsPerTimeline) {
            s.problems.push_back("too many tags; the rest is ignored");
            break;
        }
        switch (tag.code) {
        case tag::ShowFrame:
            ++s.frames;
            break;
        case tag::DoAction:
        case tag::DoInitAction:
            ++s.scripts;
            break;
        case tag::FileAttributes:
            if (tag.length >= 1 && (file.data[tag.bodyOffset] & 0x08))
                s.actionScript3 = true;
            break;
        case tag::DoABC:
        case tag::DoAbcDefine:
            s.actionScript3 = true;
            break;
        case tag::DefineSprite:
            s.scripts += scriptsInSprite(file, tag);
            break;
        default:
            break;
        }
        if (isDefinitionTag(tag.code))
            ++s.characters;
    }
    s.endTag = stream.sawEnd();
    if (stream.damaged())
        s.problems.push_back(stream.problem());
    return s;
}

}  // namespace swf
