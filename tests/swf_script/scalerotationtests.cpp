// _xscale, _yscale and _rotation read back as scripts set them, negative scales included, while the matrix is
// the one they made; a matrix set otherwise is read as positive scales, a rotation and a kept skew.
#include "scriptmovie.h"

#include <gtest/gtest.h>

namespace {

using namespace scripttest;
using kivamo::test::SwfWriter;

Asm set(const std::string& path, double value)
{
    return Asm().str(path).num(value).a(op::SetVariable);
}

// trace(a.b.c …), each step after the first a member.
Asm traced(const std::string& path)
{
    std::size_t dot = path.find('.');
    Asm a = Asm().get(path.substr(0, dot));
    while (dot != std::string::npos) {
        const std::size_t next = path.find('.', dot + 1);
        a.str(path.substr(dot + 1, next - dot - 1)).a(op::GetMember);
        dot = next;
    }
    return a.trace();
}

// a.transform.matrix = new flash.geom.Matrix(a, b, c, d, 0, 0)
Asm setMatrix(double a, double b, double c, double d)
{
    Asm m = Asm().num(0).num(0).num(d).num(c).num(b).num(a).num(6);
    m.get("flash").str("geom").a(op::GetMember).str("Matrix").a(op::NewMethod);
    return Asm().get("a").str("transform").a(op::GetMember).str("matrix").append(m).a(op::SetMember);
}

Lines run(const Asm& script)
{
    Asm all = Asm().num(1).str("a").callMethod(Asm().get("this"), "createEmptyMovieClip", 2).a(op::Pop);
    all.append(script);
    SwfWriter w(8);
    w.tag(tag::DoAction, block(all.a(op::Stop)));
    w.showFrame();
    MovieRun movie(w.finish());
    movie.frames(1);
    return movie.out.lines;
}

TEST(ScaleRotation, NegativeScalesReadBackAsSetAndSettingThemAgainChangesNothing)
{
    Asm script;
    for (int i = 0; i < 2; ++i)
        script.append(set("a._xscale", -100)).append(traced("a._xscale")).append(traced("a._rotation"))
            .append(traced("a.transform.matrix"));
    script.append(set("a._yscale", -50)).append(set("a._rotation", 90));
    script.append(traced("a._xscale")).append(traced("a._yscale")).append(traced("a._rotation"));
    EXPECT_EQ(run(script), (Lines{"-100", "0", "(a=-1, b=0, c=0, d=1, tx=0, ty=0)",  //
                                  "-100", "0", "(a=-1, b=0, c=0, d=1, tx=0, ty=0)",  //
                                  "-100", "-50", "90"}));
}

TEST(ScaleRotation, AMatrixSetOtherwiseIsReadFromTheMatrixAndKeepsItsSkew)
{
    Asm script = set("a._xscale", -100).append(setMatrix(-1, 0, 0, 1));
    script.append(traced("a._xscale")).append(traced("a._yscale")).append(traced("a._rotation"));
    // A flip upside down is a skew of half a turn: scaling keeps it.
    script.append(setMatrix(1, 0, 0, -1)).append(set("a._xscale", 200));
    script.append(traced("a.transform.matrix.a")).append(traced("a.transform.matrix.d"));
    script.append(traced("a._xscale")).append(traced("a._yscale"));
    EXPECT_EQ(run(script), (Lines{"100", "100", "180", "2", "-1", "200", "100"}));
}

}  // namespace
