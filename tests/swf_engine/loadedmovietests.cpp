// What movies and pictures loaded into clips look like: a picture at the clip's origin at its size in pixels,
// and a loaded movie's bitmap fills taken from its own bitmaps, not from the loading movie's of the same id.
#include "helpers.h"

#include "swf/tracerun.h"
#include "swf_avm1/asm.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace kivamo::test {
namespace {

using avm1test::Asm;
namespace op = swf::avm1::op;

constexpr std::uint16_t kDoAction = 12, kDefineBitsLossless2 = 36;

// A 2×2 opaque bitmap of one colour (DefineBitsLossless2, premultiplied ARGB).
Bytes solidBitmap(std::uint16_t id, WriterColour c)
{
    ByteWriter pixels;
    for (int i = 0; i < 4; ++i)
        pixels.u8(255).u8(c.r).u8(c.g).u8(c.b);
    return ByteWriter().u16(id).u8(5).u16(2).u16(2).bytes(zlibCompress(pixels.data())).data();
}

// The child: its own bitmap 1 (green), filling a 20×20 pixel square, shape 2, at its origin.
Bytes childMovie()
{
    SwfWriter w(8, {0, 2000, 0, 2000}, 12 << 8);
    w.tag(kDefineBitsLossless2, solidBitmap(1, {0, 255, 0, 255}));
    ShapeBuilder s(2, 3);
    int fill = s.bitmapFill(1, {200, 0, 0, 200, 0, 0}, 0x43);
    s.rectangle({0, 400, 0, 400}, fill);
    w.tag(s.tagCode(), s.body());
    w.tag(26, placeObject2(placeAt(1, 2)));
    w.showFrame();
    return w.finish();
}

void appendLoad(Asm& code, const std::string& clip, int depth, int x, int y, const std::string& file)
{
    code.num(depth).str(clip).callMethod(Asm().get("this"), "createEmptyMovieClip", 2).a(op::Pop);
    code.str(clip + "._x").num(x).a(op::SetVariable).str(clip + "._y").num(y).a(op::SetVariable);
    code.str(file).callMethod(Asm().get(clip), "loadMovie", 1).a(op::Pop);
}

// The loading movie: a red bitmap 1 of its own (never shown), the picture loaded into a clip at (10,20) and the
// child into a clip at (50,0).
Bytes mainMovie()
{
    SwfWriter w = smallMovie();
    w.tag(kDefineBitsLossless2, solidBitmap(1, {255, 0, 0, 255}));
    Asm code;
    appendLoad(code, "picture", 1, 10, 20, "picture.png");
    appendLoad(code, "child", 2, 50, 0, "child.swf");
    Bytes actions = code.bytes;
    actions.push_back(0);
    w.tag(kDoAction, actions);
    w.showFrame();
    w.showFrame();
    return w.finish();
}

TEST(LoadedMovies, PicturesAndLoadedMoviesDrawWithTheirOwnPixels)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // A 32×16 picture: red on the left, blue on the right.
    QImage image(32, 16, QImage::Format_RGB32);
    image.fill(QColor(255, 0, 0));
    for (int y = 0; y < 16; ++y)
        for (int x = 16; x < 32; ++x)
            image.setPixelColor(x, y, QColor(0, 0, 255));
    ASSERT_TRUE(image.save(dir.filePath("picture.png"), "PNG"));
    ASSERT_TRUE(writeFile(dir.filePath("child.swf").toStdString(), childMovie()));
    const Bytes movie = mainMovie();
    swf::FilesBeside files(dir.filePath("movie.swf").toStdString());
    auto loaded = swf::Player::fromBytes(movie.data(), movie.size(), &files);
    ASSERT_TRUE(loaded);
    auto player = std::move(loaded).value();
    player->runScripts();
    player->advance();
    QImage frame = renderFrame(*player);
    const struct {
        int x, y;
        QColor colour;
    } probes[] = {
        {10, 20, Qt::red},   {25, 35, Qt::red},   {26, 20, Qt::blue}, {41, 35, Qt::blue},  // the picture
        {9, 20, Qt::white},  {42, 20, Qt::white}, {10, 19, Qt::white}, {10, 36, Qt::white},
        {50, 0, Qt::green},  {69, 19, Qt::green}, {70, 10, Qt::white}, {55, 20, Qt::white},  // the child's fill
    };
    for (const auto& p : probes)
        EXPECT_TRUE(near(frame, p.x, p.y, p.colour)) << p.x << "," << p.y << " is " << frame.pixelColor(p.x, p.y).name().toStdString();
    player->setListener(nullptr);
}

}  // namespace
}  // namespace kivamo::test
