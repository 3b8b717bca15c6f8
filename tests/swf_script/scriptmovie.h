// Helpers for the script tests: movies written with the SWF writer, action blocks from the assembler, and a
// listener that records what the movie sends out.
#pragma once

#include "support/swfwriter.h"
#include "swf/player.h"
#include "swf_avm1/asm.h"

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace scripttest {

using kivamo::test::Bytes;
using avm1test::Asm;
namespace op = swf::avm1::op;

namespace tag {
inline constexpr std::uint16_t ShowFrame = 1, DefineShape = 2, DoAction = 12, PlaceObject2 = 26, RemoveObject2 = 28,
                               DefineButton2 = 34, DefineSprite = 39, FrameLabel = 43, ExportAssets = 56,
                               DoInitAction = 59;
}

// An action block with its End.
inline Bytes block(const Asm& code)
{
    Bytes b = code.bytes;
    b.push_back(0);
    return b;
}

// trace(text) as an action block.
inline Bytes traceBlock(const std::string& text)
{
    return block(Asm().str(text).trace());
}

inline Bytes initAction(std::uint16_t sprite, const Asm& code)
{
    Bytes b{std::uint8_t(sprite), std::uint8_t(sprite >> 8)};
    Bytes body = block(code);
    b.insert(b.end(), body.begin(), body.end());
    return b;
}

// A PlaceObject2 of a character at a depth with an instance name and optional onClipEvent handlers
// (event bits, actions), written for SWF 6 and later.
inline Bytes placeNamed(std::uint16_t depth, std::uint16_t id, const std::string& name,
                        const std::vector<std::pair<std::uint32_t, Asm>>& handlers = {})
{
    kivamo::test::ByteWriter w;
    w.u8(std::uint8_t(0x02 | 0x20 | (handlers.empty() ? 0 : 0x80))).u16(depth).u16(id).cstring(name);
    if (!handlers.empty()) {
        std::uint32_t all = 0;
        for (const auto& h : handlers)
            all |= h.first;
        w.u16(0).u32(all);
        for (const auto& [events, code] : handlers) {
            Bytes body = block(code);
            w.u32(events).u32(std::uint32_t(body.size())).bytes(body);
        }
        w.u32(0);
    }
    return w.data();
}

// A sprite whose frames each run the given block (an empty block adds no DoAction).
inline Bytes sprite(std::uint16_t id, const std::vector<Bytes>& frameScripts)
{
    std::vector<std::pair<std::uint16_t, Bytes>> tags;
    for (const Bytes& script : frameScripts) {
        if (!script.empty())
            tags.emplace_back(tag::DoAction, script);
        tags.emplace_back(tag::ShowFrame, Bytes{});
    }
    return kivamo::test::spriteBody(id, std::uint16_t(frameScripts.size()), tags);
}

// Records the movie's output.
struct Recorder : swf::PlayerListener {
    void trace(const std::string& line) override { lines.push_back(line); }
    void fsCommand(const std::string& c, const std::string& a) override { commands.emplace_back(c, a); }
    void warning(const std::string& text) override { warnings.push_back(text); }
    void openUrl(const std::string& url, const std::string& target) override { urls.emplace_back(url, target); }
    std::vector<std::string> lines;
    std::vector<std::pair<std::string, std::string>> commands;
    std::vector<std::string> warnings;
    std::vector<std::pair<std::string, std::string>> urls;
};

// Records the movie's output and hands out the files it loads by address, as the files beside a movie
// would be; asked lists every address it was asked for.
struct Library : Recorder {
    bool loadMovie(const std::string& url, std::vector<std::uint8_t>& bytes) override
    {
        asked.push_back(url);
        auto it = files.find(url);
        if (it == files.end())
            return false;
        bytes = it->second;
        return true;
    }
    std::map<std::string, Bytes> files;
    std::vector<std::string> asked;
};

// A loaded movie with a recorder attached.
struct MovieRun {
    explicit MovieRun(const Bytes& swf)
    {
        auto loaded = swf::Player::fromBytes(swf.data(), swf.size());
        if (loaded) {
            player = std::move(loaded).value();
            player->setListener(&out);
        }
    }
    ~MovieRun()
    {
        if (player)
            player->setListener(nullptr);
    }
    // Runs the first frame's scripts, then advances the given number of frames more.
    MovieRun& frames(int count)
    {
        player->runScripts();
        for (int i = 1; i < count; ++i)
            player->advance();
        return *this;
    }
    std::unique_ptr<swf::Player> player;
    Recorder out;
};

// A player whose listener is there before the bytes, so that the movies it loads or imports can be read
// while it decodes.
struct LoadingRun {
    LoadingRun(const Bytes& swf, Library& library)
    {
        player.setListener(&library);
        player.appendBytes(swf.data(), swf.size());
        player.finishLoading();
    }
    ~LoadingRun() { player.setListener(nullptr); }
    LoadingRun& frames(int count)
    {
        player.runScripts();
        for (int i = 1; i < count; ++i)
            player.advance();
        return *this;
    }
    swf::Player player;
};

// A one-frame movie of a version whose frame script is `code`.
inline Bytes oneFrame(std::uint8_t version, const Asm& code)
{
    kivamo::test::SwfWriter w(version);
    w.tag(tag::DoAction, block(code));
    w.showFrame();
    return w.finish();
}

using Lines = std::vector<std::string>;

}  // namespace scripttest
