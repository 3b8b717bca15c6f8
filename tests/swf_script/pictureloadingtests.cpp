// Pictures (JPEG, PNG, GIF) loaded into clips and levels in place of movies: the clip shows the picture at its
// natural size, MovieClipLoader tells its listeners as for a movie, damaged files end in onLoadError; and the
// sounds of a loaded movie come from that movie.
#include "scriptmovie.h"
#include "swf/tracerun.h"

#include "dialogs/snapshotencoders.h"
#include "swfwriter/soundparts.h"

#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using namespace scripttest;
using kivamo::test::SwfWriter;

constexpr int kWidth = 32, kHeight = 16;

// The picture every test loads: its left half red, its right half blue (each half whole JPEG blocks, so a JPEG
// keeps the colours), and for PNG its bottom right pixel transparent.
QImage picture(bool withTransparentCorner)
{
    QImage image(kWidth, kHeight, QImage::Format_ARGB32);
    image.fill(QColor(255, 0, 0));
    for (int y = 0; y < kHeight; ++y)
        for (int x = kWidth / 2; x < kWidth; ++x)
            image.setPixelColor(x, y, QColor(0, 0, 255));
    if (withTransparentCorner)
        image.setPixelColor(kWidth - 1, kHeight - 1, QColor(0, 0, 0, 0));
    return image;
}

Bytes toBytes(const QByteArray& data)
{
    return Bytes(data.begin(), data.end());
}

Bytes pngFile()
{
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    picture(true).save(&buffer, "PNG");
    return toBytes(data);
}

Bytes jpegFile()
{
    auto encoded = kivamo::encodeJpeg(picture(false), 95);
    return encoded ? toBytes(encoded.value()) : Bytes();
}

Bytes gifFile()
{
    auto encoded = kivamo::encodeGif(picture(false));
    return encoded ? toBytes(encoded.value()) : Bytes();
}

// A listener function traced as "<message> <target> <second argument> <third argument>".
Asm tracingListener(const std::string& message)
{
    Asm body = Asm().str(message + " ").reg(1).a(op::Add2);
    for (std::uint8_t r : {2, 3})
        body.str(" ").a(op::Add2).reg(r).a(op::Add2);
    return Asm().function2("", 3, 0, {{1, "target"}, {2, "a"}, {3, "b"}}, body.trace());
}

// Frame 1 makes the clip "holder" at x 30 (before the load, which keeps it) and asks a MovieClipLoader, whose
// listeners trace each message, to load `file` into it; onLoadInit traces the clip's size, bytes and place.
// Frame 2 doubles its width and traces it.
Bytes loaderMovie(const std::string& file)
{
    Asm main;
    main.str("loader").num(0).str("MovieClipLoader").a(op::NewObject).a(op::SetVariable);
    main.num(1).str("holder").callMethod(Asm().get("this"), "createEmptyMovieClip", 2).a(op::Pop);
    main.str("holder._x").num(30).a(op::SetVariable);
    main.str("holder.value").str("old").a(op::SetVariable);
    for (const char* message : {"onLoadStart", "onLoadProgress", "onLoadComplete", "onLoadError"})
        main.get("loader").str(message).append(tracingListener(message)).a(op::SetMember);
    Asm init = Asm().str("onLoadInit ").reg(1).str("_width").a(op::GetMember).a(op::Add2);
    for (const char* property : {"_height", "_x"})
        init.str(" ").a(op::Add2).reg(1).str(property).a(op::GetMember).a(op::Add2);
    init.str(" ").a(op::Add2).num(0).reg(1).str("getBytesTotal").a(op::CallMethod).a(op::Add2).trace();
    main.get("loader").str("onLoadInit").function2("", 2, 0, {{1, "target"}}, init).a(op::SetMember);
    main.get("holder").str(file).num(2).get("loader").str("loadClip").a(op::CallMethod).a(op::Pop);
    SwfWriter w(8);
    w.tag(tag::DoAction, block(main));
    w.showFrame();
    Asm second = Asm().str("holder._xscale").num(200).a(op::SetVariable).get("holder._width").trace();
    second.get("holder.value").trace();
    w.tag(tag::DoAction, block(second.a(op::Stop)));
    w.showFrame();
    return w.finish();
}

// The picture the clip shows, or null.
const swf::Bitmap* shownPicture(swf::Player& player)
{
    swf::Clip* holder = player.root()->childNamed("holder");
    if (!holder || holder->displayList().size() != 1)
        return nullptr;
    const swf::DisplayObject& object = holder->displayList().begin()->second;
    if (object.character.kind != swf::CharacterKind::Bitmap || object.placement.matrix.tx != 0 ||
        object.placement.matrix.ty != 0)
        return nullptr;
    return object.character.bitmap.get();
}

bool near(std::uint32_t pixel, std::uint32_t expected, int tolerance)
{
    for (int shift = 0; shift < 32; shift += 8)
        if (std::abs(int((pixel >> shift) & 0xFF) - int((expected >> shift) & 0xFF)) > tolerance)
            return false;
    return true;
}

TEST(PictureLoading, PicturesLoadIntoClipsAtTheirSizeWithTheLoadersMessages)
{
    const struct {
        const char* name;
        Bytes bytes;
        int tolerance;
    } cases[] = {{"picture.png", pngFile(), 0}, {"picture.jpg", jpegFile(), 24}, {"picture.gif", gifFile(), 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_GT(c.bytes.size(), 20u);
        Library files;
        files.files[c.name] = c.bytes;
        LoadingRun run(loaderMovie(c.name), files);
        run.frames(2);
        const std::string size = std::to_string(c.bytes.size());
        EXPECT_EQ(files.lines, (Lines{"onLoadStart _level0.holder undefined undefined",
                                      "onLoadProgress _level0.holder " + size + " " + size,
                                      "onLoadComplete _level0.holder 0 undefined",
                                      "onLoadInit 32 16 30 " + size, "64", "undefined"}));
        const swf::Bitmap* shown = shownPicture(run.player);
        ASSERT_NE(shown, nullptr);
        ASSERT_EQ(shown->width, 32u);
        ASSERT_EQ(shown->height, 16u);
        EXPECT_TRUE(near(shown->pixels[2 * kWidth + 4], 0xFFFF0000, c.tolerance)) << std::hex << shown->pixels[2 * kWidth + 4];
        EXPECT_TRUE(near(shown->pixels[9 * kWidth + 27], 0xFF0000FF, c.tolerance)) << std::hex << shown->pixels[9 * kWidth + 27];
    }
}

TEST(PictureLoading, PngTransparencyIsKept)
{
    Library files;
    files.files["picture.png"] = pngFile();
    LoadingRun run(loaderMovie("picture.png"), files);
    run.frames(2);
    const swf::Bitmap* shown = shownPicture(run.player);
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->pixels.back(), 0u);
}

TEST(PictureLoading, PicturesAreToldByTheirBytesNotTheirNames)
{
    // A PNG named .swf still loads as a picture; a movie named .png still loads as a movie.
    Library files;
    files.files["looks.swf"] = pngFile();
    LoadingRun run(loaderMovie("looks.swf"), files);
    run.frames(2);
    ASSERT_GE(files.lines.size(), 4u);
    EXPECT_EQ(files.lines[3].substr(0, 16), "onLoadInit 32 16");

    Library movies;
    movies.files["child.png"] = [] {
        SwfWriter w(8);
        w.tag(tag::DoAction, traceBlock("movie runs"));
        w.showFrame();
        return w.finish();
    }();
    LoadingRun second(loaderMovie("child.png"), movies);
    second.frames(2);
    EXPECT_NE(std::find(movies.lines.begin(), movies.lines.end(), "movie runs"), movies.lines.end());
}

TEST(PictureLoading, DamagedPicturesEndInAnErrorAndLeaveTheClipAsItWas)
{
    const Bytes png = pngFile();
    const Bytes jpeg = jpegFile();
    ASSERT_GT(png.size(), 80u);
    // A JPEG cut short may show what arrived (libjpeg pads it), as Flash shows a picture still loading; every
    // other case is refused.
    const struct {
        const char* what;
        Bytes bytes;
        bool mayShow;
    } cases[] = {
        {"PNG cut after its header", Bytes(png.begin(), png.begin() + 40), false},
        {"PNG with its pixel data zeroed", [&] {
             Bytes b = png;
             std::fill(b.begin() + 60, b.end() - 12, 0);
             return b;
         }(), false},
        {"JPEG cut in half", Bytes(jpeg.begin(), jpeg.begin() + std::ptrdiff_t(jpeg.size() / 2)), true},
        {"JPEG start marker only", Bytes{0xFF, 0xD8}, false},
        {"GIF signature only", Bytes{'G', 'I', 'F', '8', '9', 'a'}, false},
        {"text", Bytes{'h', 'e', 'l', 'l', 'o'}, false},
        {"empty file", Bytes{}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Library files;
        files.files["bad.png"] = c.bytes;
        LoadingRun run(loaderMovie("bad.png"), files);
        run.frames(2);
        if (c.mayShow && shownPicture(run.player)) {
            EXPECT_EQ(files.lines.size(), 6u);
            continue;
        }
        EXPECT_EQ(files.lines, (Lines{"onLoadStart _level0.holder undefined undefined",
                                      "onLoadError _level0.holder LoadNeverCompleted undefined", "0", "old"}));
        EXPECT_EQ(shownPicture(run.player), nullptr);
    }
}

TEST(PictureLoading, MissingFilesAreNotFound)
{
    Library files;
    LoadingRun run(loaderMovie("missing.png"), files);
    run.frames(2);
    EXPECT_EQ(files.lines, (Lines{"onLoadError _level0.holder URLNotFound undefined", "0", "old"}));
}

TEST(PictureLoading, PicturesLoadIntoLevelsAndReportTheirBytes)
{
    Library files;
    files.files["picture.gif"] = gifFile();
    Asm main = Asm().str("picture.gif").str("_level3").record(op::GetURL2, {0});
    Asm second = Asm().get("_level3._width").trace().get("_level3._height").trace();
    second.num(0).get("_level3").str("getBytesLoaded").a(op::CallMethod).trace();
    SwfWriter w(8);
    w.tag(tag::DoAction, block(main));
    w.showFrame();
    w.tag(tag::DoAction, block(second.a(op::Stop)));
    w.showFrame();
    LoadingRun run(w.finish(), files);
    run.frames(2);
    EXPECT_EQ(files.lines, (Lines{"32", "16", std::to_string(files.files["picture.gif"].size())}));
}

TEST(PictureLoading, TracedMoviesLoadPicturesBesideTheirFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(picture(true).save(dir.filePath("picture.png"), "PNG"));
    const Bytes movie = loaderMovie("picture.png");
    const std::string moviePath = dir.filePath("movie.swf").toStdString();
    swf::TraceOutput out = swf::traceMovie(movie.data(), movie.size(), 2, 0, moviePath);
    ASSERT_EQ(out.lines.size(), 6u);
    EXPECT_EQ(out.lines[3].substr(0, 19), "onLoadInit 32 16 30");
    EXPECT_EQ(out.lines[4], "64");
}

TEST(PictureLoading, EventSoundsOfALoadedMovieComeFromItsOwnLibrary)
{
    // The child defines sound 1 (a constant 0.25) and starts it in its first frame; the loading movie has no
    // sound 1 of its own, so the sound is heard only when it is looked up in the child.
    constexpr std::size_t kFrames = 4410;
    std::vector<std::int16_t> samples(kFrames, std::int16_t(0.25 * 32768));
    SwfWriter child(8, {0, 2000, 0, 2000}, 10 << 8);
    child.tag(14, kivamo::test::defineSoundBody(1, kivamo::test::soundFormatByte(3, 3, true, false), kFrames,
                                                kivamo::test::pcmBytes(samples)));
    child.tag(15, kivamo::test::ByteWriter().u16(1).u8(0).data());  // StartSound of sound 1
    child.showFrame();
    Library files;
    files.files["child.swf"] = child.finish();
    SwfWriter w(8, {0, 2000, 0, 2000}, 10 << 8);
    w.tag(tag::DoAction, block(Asm().str("child.swf").str("_level1").record(op::GetURL2, {0})));
    w.showFrame();
    w.showFrame();
    LoadingRun run(w.finish(), files);
    run.frames(2);
    std::vector<std::int16_t> out(2 * 1000);
    run.player.mixAudio(out.data(), 1000, 44100);
    EXPECT_NEAR(out[2 * 999] / 32768.0, 0.25, 0.02);
}

}  // namespace
