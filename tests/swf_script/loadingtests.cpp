// Movies that bring in other movies: loadMovie into clips and levels, unloading, MovieClipLoader's messages,
// ImportAssets, and the local files a traced movie may read.
#include "scriptmovie.h"
#include "swf/tracerun.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

namespace {

using namespace scripttest;
using kivamo::test::SwfWriter;

constexpr std::uint16_t kImportAssets = 57;
constexpr std::uint8_t kLoadTargetFlag = 0x40;

// The child every test loads: it stores "child" in `value` and traces where it runs and what _root is.
Bytes childMovie(std::uint8_t version = 8)
{
    return oneFrame(version, Asm().str("value").str("child").a(op::SetVariable)
                                 .str("child at ").get("this").a(op::Add2).str(" root ").a(op::Add2)
                                 .get("_root").a(op::Add2).trace().a(op::Stop));
}

TEST(ScriptLoading, LoadMovieReplacesTheClipsContentBeforeTheNextFrame)
{
    Library files;
    files.files["child.swf"] = childMovie();
    Asm main;
    main.num(1).str("holder").callMethod(Asm().get("this"), "createEmptyMovieClip", 2).a(op::Pop);
    main.str("holder.value").str("old").a(op::SetVariable);
    main.str("child.swf").callMethod(Asm().get("holder"), "loadMovie", 1).a(op::Pop);
    main.get("holder.value").trace();  // the old content is still there in this frame
    SwfWriter w(8);
    w.tag(tag::DoAction, block(main));
    w.showFrame();
    w.tag(tag::DoAction, block(Asm().get("holder.value").trace().get("holder._name").trace().a(op::Stop)));
    w.showFrame();
    LoadingRun run(w.finish(), files);
    run.frames(2);
    EXPECT_EQ(files.lines,
              (Lines{"old", "child at _level0.holder root _level0", "child", "holder"}));
}

TEST(ScriptLoading, UrlActionsLoadIntoTargetsAndLevelsAndUnload)
{
    Library files;
    files.files["child.swf"] = childMovie();
    SwfWriter w(8);
    Asm first;
    first.num(1).str("a").callMethod(Asm().get("this"), "createEmptyMovieClip", 2).a(op::Pop);
    first.str("child.swf").str("a").record(op::GetURL2, {kLoadTargetFlag});
    first.str("child.swf").str("_level2").record(op::GetURL2, {0});
    w.tag(tag::DoAction, block(first));
    w.showFrame();
    Asm second;
    second.get("_level2.value").trace();
    second.str("").str("a").record(op::GetURL2, {kLoadTargetFlag});  // unloadMovie("a")
    second.str("").str("_level2").record(op::GetURL2, {0});          // unloadMovieNum(2)
    w.tag(tag::DoAction, block(second));
    w.showFrame();
    w.tag(tag::DoAction, block(Asm().get("a.value").a(op::TypeOf).trace().get("_level2").a(op::TypeOf).trace()
                                   .get("a").a(op::TypeOf).trace().a(op::Stop)));
    w.showFrame();
    LoadingRun run(w.finish(), files);
    run.frames(3);
    EXPECT_EQ(files.lines, (Lines{"child at _level0.a root _level0", "child at _level2 root _level2", "child",
                                        "undefined", "undefined", "movieclip"}));
    EXPECT_TRUE(files.urls.empty());  // nothing went out as a web address
}

TEST(ScriptLoading, MovieClipLoaderTellsItsListenersInOrder)
{
    Library files;
    files.files["child.swf"] = childMovie();
    // One listener function per message traces the message's name and its first argument.
    Asm main;
    main.str("loader").num(0).str("MovieClipLoader").a(op::NewObject).a(op::SetVariable);
    main.num(1).str("holder").callMethod(Asm().get("this"), "createEmptyMovieClip", 2).a(op::Pop);
    for (const char* message : {"onLoadStart", "onLoadComplete", "onLoadInit", "onLoadError"}) {
        Asm body = Asm().str(std::string(message) + " ").reg(1).a(op::Add2).trace();
        main.get("loader").str(message).function2("", 2, 0, {{1, "target"}}, body).a(op::SetMember);
    }
    main.get("holder").str("child.swf").num(2).get("loader").str("loadClip").a(op::CallMethod).a(op::Pop);
    main.get("holder").str("missing.swf").num(2).get("loader").str("loadClip").a(op::CallMethod).a(op::Pop);
    SwfWriter w(8);
    w.tag(tag::DoAction, block(main.a(op::Stop)));
    w.showFrame();
    w.showFrame();
    LoadingRun run(w.finish(), files);
    run.frames(2);
    EXPECT_EQ(files.lines, (Lines{"onLoadStart _level0.holder", "onLoadComplete _level0.holder",
                                        "child at _level0.holder root _level0", "onLoadInit _level0.holder",
                                        "onLoadError _level0.holder"}));
    EXPECT_EQ(files.asked, (std::vector<std::string>{"child.swf", "missing.swf"}));
}

TEST(ScriptLoading, ImportedSymbolsPlayWithTheirOwnMoviesCharactersAndVersion)
{
    // The library (SWF 6, names without case) exports sprite 1, whose frame traces `Foo` through `foo` and
    // places its own sprite 2, which traces its path.
    SwfWriter lib(6);
    lib.tag(tag::DefineSprite, sprite(2, {traceBlock("inner")}));
    Asm libScript = Asm().str("Foo").num(1).a(op::SetVariable).get("foo").trace();
    std::vector<std::pair<std::uint16_t, Bytes>> tags{{tag::DoAction, block(libScript)},
                                                       {tag::PlaceObject2, placeNamed(1, 2, "inner")},
                                                       {tag::ShowFrame, {}}};
    lib.tag(tag::DefineSprite, kivamo::test::spriteBody(1, 1, tags));
    lib.tag(tag::ExportAssets, kivamo::test::ByteWriter().u16(1).u16(1).cstring("shared").data());
    lib.showFrame();
    Library files;
    files.files["lib.swf"] = lib.finish();
    // The importer (SWF 8) has its own sprite 2, which must not be what the imported one places.
    SwfWriter w(8);
    w.tag(kImportAssets, kivamo::test::ByteWriter().cstring("lib.swf").u16(1).u16(7).cstring("shared").data());
    w.tag(tag::DefineSprite, sprite(2, {traceBlock("wrong sprite")}));
    w.tag(tag::PlaceObject2, placeNamed(1, 7, "imported"));
    w.showFrame();
    LoadingRun run(w.finish(), files);
    run.frames(1);
    Lines lines = files.lines;
    std::sort(lines.begin(), lines.end());
    EXPECT_EQ(lines, (Lines{"1", "inner"}));
}

TEST(ScriptLoading, ImportsReadEachLibraryOnceAndStopAtRings)
{
    // The movie imports "x" from itself (self.swf) twice and "y" from a file that is not there; its own sprite 1,
    // exported as "x", traces when placed through the imported id 9; the missing id 10 places nothing.
    auto imports = [](const std::string& url, std::uint16_t id, const std::string& name) {
        return kivamo::test::ByteWriter().cstring(url).u16(1).u16(id).cstring(name).data();
    };
    SwfWriter w(8);
    w.tag(kImportAssets, imports("self.swf", 9, "x"));
    w.tag(kImportAssets, imports("self.swf", 11, "x"));
    w.tag(kImportAssets, imports("missing.swf", 10, "y"));
    w.tag(tag::DefineSprite, sprite(1, {traceBlock("x runs")}));
    w.tag(tag::ExportAssets, kivamo::test::ByteWriter().u16(1).u16(1).cstring("x").data());
    w.tag(tag::PlaceObject2, placeNamed(1, 9, "a"));
    w.tag(tag::PlaceObject2, placeNamed(2, 10, "b"));
    w.showFrame();
    Library files;
    files.files["self.swf"] = w.finish();
    LoadingRun run(files.files["self.swf"], files);
    run.frames(1);
    EXPECT_EQ(files.lines, Lines{"x runs"});
    EXPECT_EQ(files.asked, (std::vector<std::string>{"self.swf", "missing.swf"}));
}

TEST(ScriptLoading, TracedMoviesReadOnlyFilesBesideThem)
{
    const struct {
        const char* url;
        const char* path;
    } cases[] = {
        {"b.swf", "/m/b.swf"}, {"sub/c.swf", "/m/sub/c.swf"}, {"sub\\d.swf", "/m/sub/d.swf"},
        {"sub/../b.swf", "/m/b.swf"}, {"./b.swf", "/m/b.swf"}, {"../x.swf", ""}, {"sub/../../x.swf", ""},
        {"/etc/passwd", ""}, {"http://host/y.swf", ""}, {"file:///m/b.swf", ""}, {"C:\\x.swf", ""}, {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(swf::localMoviePath("/m/a.swf", c.url), c.path) << c.url;
    EXPECT_EQ(swf::localMoviePath("", "b.swf"), "");
}

}  // namespace
