// kivamo-swf thumbnail from the outside: the first frame that draws anything, the picture's size, the
// bounded search through empty frames, and one clear line for bad input.
#include "support/testfiles.h"
#include "support/toolrunner.h"

#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextStream>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

using namespace kivamo::test;

namespace {

constexpr std::uint16_t kPlaceObject2 = 26;

// A movie of the given stage (pixels) on a white background: emptyFrames frames that draw nothing,
// then one frame with a red rectangle over the whole stage.
Bytes leadInMovie(int emptyFrames, int width = 200, int height = 100)
{
    SwfWriter w(10, {0, width * 20, 0, height * 20}, 24 << 8);
    w.backgroundColour(255, 255, 255);
    for (int i = 0; i < emptyFrames; ++i)
        w.showFrame();
    ShapeBuilder s(1, 3);
    int fill = s.solidFill({255, 0, 0, 255});
    s.rectangle({0, width * 20, 0, height * 20}, fill);
    Placement p;
    p.characterId = 1;
    w.tag(s.tagCode(), s.body()).tag(kPlaceObject2, placeObject2(p)).showFrame();
    return w.finish();
}

ToolRun thumbnail(const QStringList& arguments)
{
    return runTool(QStringLiteral("kivamo-swf"), QStringList{QStringLiteral("thumbnail")} + arguments);
}

}  // namespace

TEST(KivamoSwfThumbnail, ShowsTheFirstFrameWithContentAtTheAskedSize)
{
    struct Case {
        int emptyFrames, width, height;
        QString size;
        QSize expected;
        bool red;  // the content was reached
    };
    const Case cases[] = {
        {0, 200, 100, "128", {128, 64}, true},
        {5, 200, 100, "64", {64, 32}, true},
        {299, 100, 200, "50", {25, 50}, true},   // the last frame searched
        {300, 100, 100, "32", {32, 32}, false},  // past the bound: the background
        {2000, 100, 100, "32", {32, 32}, false},
        {1, 100, 100, "1", {1, 1}, true},
        {0, 2000, 10, "256", {256, 1}, true},
    };
    QTemporaryDir dir;
    for (const Case& c : cases) {
        QString movie = storeFile(dir, "m.swf", leadInMovie(c.emptyFrames, c.width, c.height));
        QString png = dir.filePath("t.png");
        QFile::remove(png);
        ToolRun run = thumbnail({movie, png, c.size});
        ASSERT_FALSE(run.crashed) << c.emptyFrames;
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        QImage image(png);
        ASSERT_FALSE(image.isNull()) << c.emptyFrames;
        EXPECT_EQ(image.size(), c.expected) << c.emptyFrames;
        QColor centre = image.pixelColor(image.width() / 2, image.height() / 2);
        EXPECT_EQ(centre, c.red ? QColor(255, 0, 0) : QColor(255, 255, 255)) << c.emptyFrames;
    }
}

TEST(KivamoSwfThumbnail, BadInputGetsOneClearLine)
{
    QTemporaryDir dir;
    QString movie = storeFile(dir, "m.swf", leadInMovie(0));
    QString page = storeFile(dir, "page.swf", Bytes{'<', 'h', 't', 'm', 'l', '>'});
    QString png = dir.filePath("t.png");
    struct Case {
        QStringList arguments;
        int exitCode;
        QString errorStart;
    };
    const Case cases[] = {
        {{}, 2, "kivamo-swf: thumbnail needs a movie, an output file and a size"},
        {{movie, png}, 2, "kivamo-swf: thumbnail needs a movie, an output file and a size"},
        {{movie, png, "128", "x"}, 2, "kivamo-swf: thumbnail needs a movie, an output file and a size"},
        {{movie, png, "0"}, 2, "kivamo-swf: SIZE must be a number of pixels from 1 to 4096"},
        {{movie, png, "-5"}, 2, "kivamo-swf: SIZE must be a number of pixels from 1 to 4096"},
        {{movie, png, "12px"}, 2, "kivamo-swf: SIZE must be a number of pixels from 1 to 4096"},
        {{movie, png, "4097"}, 2, "kivamo-swf: SIZE must be a number of pixels from 1 to 4096"},
        {{movie, png, "99999999999"}, 2, "kivamo-swf: SIZE must be a number of pixels from 1 to 4096"},
        {{dir.filePath("missing.swf"), png, "64"}, 1, "kivamo-swf: " + dir.filePath("missing.swf") + ": cannot read"},
        {{page, png, "64"}, 1, "kivamo-swf: " + page + ": "},
        {{movie, dir.filePath("no/such/folder/t.png"), "64"}, 1, "kivamo-swf: " + dir.filePath("no/such/folder/t.png")},
    };
    for (const Case& c : cases) {
        ToolRun run = thumbnail(c.arguments);
        ASSERT_FALSE(run.crashed) << c.arguments.join(' ').toStdString();
        EXPECT_EQ(run.exitCode, c.exitCode) << c.arguments.join(' ').toStdString();
        // Qt may warn about the environment first; the tool's own line is the one it names itself in.
        QStringList own = run.err.split('\n').filter(QRegularExpression("^kivamo-swf: "));
        ASSERT_EQ(own.size(), 1) << run.err.toStdString();
        EXPECT_TRUE(own.first().startsWith(c.errorStart)) << run.err.toStdString();
        EXPECT_FALSE(QFile::exists(png)) << "nothing is written on failure";
    }
}

namespace {

// The corpus's one-frame movies of the first tier (shapes, winding, masks, clipping): their first
// frame is the frame with content, so the thumbnail must show what `render --frames 1` paints.
QStringList oneFrameCorpusMovies()
{
    QFile manifest(QStringLiteral(KIVAMO_CORPUS_DIR "/MANIFEST_visual.tsv"));
    if (!manifest.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QStringList movies;
    QTextStream in(&manifest);
    in.readLine();  // column names
    while (!in.atEnd()) {
        const QStringList columns = in.readLine().split(u'\t');
        if (columns.size() > 6 && columns[1] == "1" && columns[6] == "num_frames=1")
            movies << QStringLiteral(KIVAMO_CORPUS_DIR "/") + columns[2] + "/test.swf";
    }
    return movies;
}

// Pixels whose channels differ by more than tolerance.
int outliers(const QImage& a, const QImage& b, int tolerance)
{
    int count = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            if (std::abs(qRed(p) - qRed(q)) > tolerance || std::abs(qGreen(p) - qGreen(q)) > tolerance
                || std::abs(qBlue(p) - qBlue(q)) > tolerance)
                ++count;
        }
    }
    return count;
}

}  // namespace

TEST(KivamoSwfThumbnail, CorpusMoviesMatchTheRenderOfTheSameFrameAtTheSameSize)
{
    const QStringList movies = oneFrameCorpusMovies();
    ASSERT_GE(movies.size(), 5) << "corpus manifest missing under " KIVAMO_CORPUS_DIR;
    QTemporaryDir dir;
    for (const QString& movie : movies) {
        for (const char* side : {"128", "256"}) {
            const QString thumb = dir.filePath("thumb.png"), frame = dir.filePath("frame.png");
            QFile::remove(thumb);
            QFile::remove(frame);
            const ToolRun shot = thumbnail({movie, thumb, side});
            ASSERT_EQ(shot.exitCode, 0) << movie.toStdString() << shot.err.toStdString();
            const QImage small(thumb);
            ASSERT_FALSE(small.isNull()) << movie.toStdString();
            EXPECT_EQ(std::max(small.width(), small.height()), QByteArray(side).toInt()) << movie.toStdString();
            const QString size = QString("%1x%2").arg(small.width()).arg(small.height());
            const ToolRun render = runTool(QStringLiteral("kivamo-swf"),
                                           {"render", movie, "--frames", "1", "--size", size, "-o", frame});
            ASSERT_EQ(render.exitCode, 0) << movie.toStdString() << render.err.toStdString();
            const QImage full(frame);
            ASSERT_EQ(full.size(), small.size()) << movie.toStdString();
            const QImage a = small.convertToFormat(QImage::Format_RGB32), b = full.convertToFormat(QImage::Format_RGB32);
            EXPECT_LE(outliers(a, b, 2), a.width() * a.height() / 200) << movie.toStdString() << " at " << side;
        }
    }
}
