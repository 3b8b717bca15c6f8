// Movies of different versions in one player: which globals each sees, and how SWF 5 code calls the functions of
// a later movie.
#include "scriptmovie.h"

#include <gtest/gtest.h>

namespace {

using namespace scripttest;
using kivamo::test::SwfWriter;

Asm setMember(const std::string& object, const std::string& name, const Asm& value)
{
    return Asm().get(object).str(name).append(value).a(op::SetMember);
}

// Frame 1 makes the clips and loads the children into them; frame 2 runs `check` after the children's scripts.
Bytes loader(std::uint8_t version, const std::vector<std::pair<std::string, std::string>>& loads, const Asm& first,
             const Asm& check)
{
    Asm load = first;
    int depth = 1;
    for (const auto& [clip, file] : loads) {
        load.num(depth++).str(clip).callMethod(Asm().get("this"), "createEmptyMovieClip", 2).a(op::Pop);
        load.str(file).callMethod(Asm().get(clip), "loadMovie", 1).a(op::Pop);
    }
    SwfWriter w(version);
    w.tag(tag::DoAction, block(load));
    w.showFrame();
    w.tag(tag::DoAction, block(Asm(check).a(op::Stop)));
    w.showFrame();
    return w.finish();
}

TEST(MixedVersions, MoviesUpToSwf6ShareOneGlobalAndLaterOnesAnother)
{
    // Each child keeps its _global, an object, an array and what it sees of MovieClip and of `shared`, which the
    // SWF 8 parent put on its own _global before loading them.
    const Asm keep = Asm()
                         .str("g").get("_global").a(op::SetVariable)
                         .str("o").num(0).a(op::InitObject).a(op::SetVariable)
                         .str("a").num(2).num(1).num(2).a(op::InitArray).a(op::SetVariable)
                         .str("movieClip").get("MovieClip").a(op::TypeOf).a(op::SetVariable)
                         .str("shared").get("shared").a(op::TypeOf).a(op::SetVariable);
    Library files;
    files.files["six.swf"] = oneFrame(6, keep);
    files.files["seven.swf"] = oneFrame(7, keep);
    const Asm check = Asm()
                          .get("six.g").get("seven.g").a(op::StrictEquals).trace()
                          .get("seven.g").get("_global").a(op::StrictEquals).trace()
                          .get("six.o").get("six.g").str("Object").a(op::GetMember).a(op::InstanceOf).trace()
                          .get("six.o").get("Object").a(op::InstanceOf).trace()
                          .get("seven.o").get("Object").a(op::InstanceOf).trace()
                          .get("six.a").trace()
                          .get("six.g").str("OBJECT").a(op::GetMember).trace()  // SWF 8 code reads with case
                          .get("six.movieClip").trace()
                          .get("six.shared").trace()
                          .get("seven.shared").trace();
    LoadingRun run(loader(8, {{"six", "six.swf"}, {"seven", "seven.swf"}}, setMember("_global", "shared", Asm().num(1)),
                        check),
                 files);
    run.frames(2);
    EXPECT_EQ(files.lines, (Lines{"false", "true", "true", "false", "true", "1,2", "undefined", "function",
                                  "undefined", "number"}));
}

TEST(MixedVersions, Swf5CodeGivesALaterMoviesFunctionFlash5sSetting)
{
    // The SWF 6 child keeps foo on its timeline and defines f there, which traces its target, foo and whether
    // getDepth (a method Flash 5 movies do not see) is there.
    const Asm body = Asm()
                         .str("").num(11).a(op::GetProperty).trace()
                         .str("foo: ").get("foo").a(op::Add2).trace()
                         .get("getDepth").a(op::TypeOf).trace();
    Library files;
    files.files["child.swf"] =
        oneFrame(6, Asm().str("foo").str("child foo").a(op::SetVariable).function("f", {}, body));
    // The SWF 5 parent places an empty sprite as `clip` and loads the child into it. Then it calls f as the
    // clip's method, through a local of its own function run (so on no clip), and through a conversion that calls
    // it implicitly.
    const Asm run = Asm()
                        .str("k").get("clip").str("f").a(op::GetMember).a(op::DefineLocal)
                        .num(0).str("k").a(op::CallFunction).a(op::Pop);
    const Asm check = Asm()
                          .callMethod(Asm().get("clip"), "f", 0).a(op::Pop)
                          .function("run", {}, run)
                          .num(0).str("run").a(op::CallFunction).a(op::Pop)
                          .str("o").num(0).a(op::InitObject).a(op::SetVariable)
                          .append(setMember("o", "toString", Asm().get("clip").str("f").a(op::GetMember)))
                          .get("o").a(op::ToString).a(op::Pop)
                          .a(op::Stop);
    SwfWriter w(5);
    w.tag(tag::DefineSprite, sprite(1, {Bytes{}}));
    w.tag(tag::PlaceObject2, placeNamed(1, 1, "clip"));
    w.tag(tag::DoAction, block(Asm().str("child.swf").callMethod(Asm().get("clip"), "loadMovie", 1).a(op::Pop)));
    w.showFrame();
    w.tag(tag::DoAction, block(check));
    w.showFrame();
    LoadingRun movie(w.finish(), files);
    movie.frames(2);
    EXPECT_EQ(files.lines, (Lines{"/clip", "foo: child foo", "function", "/", "foo: ", "undefined", "/clip",
                                  "foo: child foo", "function"}));
}

}  // namespace
