// Save snapshot's refusals in their order, automatic names and the single snapshot's two roads
// (automatic name or save dialog), against files in a temporary folder.
#include "dialogs/snapshot.h"

#include "support/scriptedprompts.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace kivamo {
namespace {

using test::ScriptedPrompts;

QImage smallPicture()
{
    QImage picture(8, 6, QImage::Format_RGB32);
    picture.fill(qRgb(10, 200, 30));
    return picture;
}

void touch(const QString& path)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
}

struct Fixture {
    QTemporaryDir dir;
    ScriptedPrompts prompts;
    QStringList status;
    bool optical = false;
    SnapshotServices services()
    {
        SnapshotServices s;
        s.prompts = &prompts;
        s.showStatus = [this](const QString& text) { status.append(text); };
        s.onOpticalMedia = [this](const QString&) { return optical; };
        s.mountPointOf = [](const QString&) { return QStringLiteral("/media/cdrom"); };
        return s;
    }
    QString folder() const { return dir.path() + u'/'; }
};

TEST(SaveSnapshot, RefusalsInTheirOrderWithTheirMessages)
{
    Fixture f;
    QDir().mkdir(f.dir.filePath("taken.bmp"));
    const QString missing = f.folder() + QStringLiteral("没有/");
    struct Case {
        const char* what;
        bool movieLoaded;
        bool optical;
        QString file;
        QString caption;  // empty: no message
        QString text;
    } cases[] = {
        {"no movie", false, true, missing + "x.png", {}, {}},
        {"missing folder before optical", true, true, missing + "x.png", "路径无效", missing + "不存在"},
        {"optical before extension", true, true, f.folder() + "x.png", "路径无效",
         QStringLiteral("路径无效\r/media/cdrom为光驱路径")},
        {"unknown extension", true, false, f.folder() + "x.png", {}, {}},
        {"four-letter JPEG extension", true, false, f.folder() + "x.jpeg", {}, {}},
        {"failed write", true, false, f.folder() + "taken.bmp", "文件创建错误",
         QStringLiteral("不能创建文件到\r") + f.folder() + "taken.bmp"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        f.optical = c.optical;
        if (!c.caption.isEmpty())
            f.prompts.expectMessage(c.caption, c.text, PromptIcon::Error);
        EXPECT_FALSE(saveSnapshot(f.services(), c.movieLoaded, smallPicture(), c.file));
        EXPECT_TRUE(f.prompts.done());
        if (!c.caption.isEmpty()) {
            EXPECT_TRUE(f.prompts.messages().back().stayOnTop);
        }
    }
    EXPECT_TRUE(f.status.isEmpty()) << "the status line shows only successes";
    EXPECT_EQ(QDir(f.dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{});
}

TEST(SaveSnapshot, SuccessReportsOnTheStatusLine)
{
    Fixture f;
    const QString name = f.folder() + "shot.GIF";
    EXPECT_TRUE(saveSnapshot(f.services(), true, smallPicture(), name));
    EXPECT_EQ(f.status, QStringList{QStringLiteral("已保存截图至：") + name});
    EXPECT_EQ(QImage(name).size(), QSize(8, 6));
}

TEST(AutomaticName, SmallestFreeNumberAndWebTitles)
{
    Fixture f;
    touch(f.folder() + "a0.gif");
    touch(f.folder() + "a1.gif");
    touch(f.folder() + "a3.gif");
    touch(f.folder() + "b0.jpg");
    const struct {
        QString folder;
        QString movie;
        QString type;
        QString expected;
    } cases[] = {
        {f.folder(), "/movies/a.swf", "gif", f.folder() + "a2.gif"},
        {f.dir.path(), "/movies/a.swf", "gif", f.folder() + "a2.gif"},
        {f.folder(), "/movies/a.swf", "jpg", f.folder() + "a0.jpg"},
        {f.folder(), "/movies/b.swf", "jpg", f.folder() + "b1.jpg"},
        {f.folder(), "C:\\fl\\game.swf", "bmp", f.folder() + "game0.bmp"},
        {f.folder(), "http://example.com/m.swf", "jpg", f.folder() + "http://example.com/m.swf0.jpg"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(automaticSnapshotName(c.folder, c.movie, c.type), c.expected);
}

void writeIni(const QTemporaryDir& dir, const QString& text)
{
    QFile file(dir.filePath("main.ini"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text.toUtf8());
}

struct SingleFixture : Fixture {
    QTemporaryDir program;
    int captures = 0;
    SnapshotSource source(const QString& moviePath = "/movies/a.swf")
    {
        SnapshotSource s;
        s.controlExists = true;
        s.movieLoaded = true;
        s.moviePath = moviePath;
        s.capture = [this] {
            ++captures;
            return smallPicture();
        };
        return s;
    }
    void settings(bool custom, const QString& path, const QString& type)
    {
        writeIni(program, QStringLiteral("[picture]\r\ncustom=%1\r\npath=%2\r\nimagetype=%3\r\n")
                              .arg(custom ? 1 : 0)
                              .arg(path, type));
    }
    QString programDir() const { return program.path() + u'/'; }
};

TEST(SingleSnapshot, AutomaticNameWithoutAnyBox)
{
    SingleFixture f;
    touch(f.folder() + "a0.gif");
    touch(f.folder() + "a1.gif");
    f.settings(false, f.dir.path(), "gif");
    takeSingleSnapshot(f.services(), f.source(), f.programDir());
    EXPECT_EQ(f.status, QStringList{QStringLiteral("已保存截图至：") + f.folder() + "a2.gif"});
    EXPECT_EQ(QImage(f.folder() + "a2.gif").size(), QSize(8, 6));
}

TEST(SingleSnapshot, SaveDialogWhenCustomWithItsFilterAndMessage)
{
    SingleFixture f;
    f.settings(true, f.dir.path(), "gif");
    const QString chosen = f.folder() + "x.jpg";
    f.prompts.expectSaveFile(chosen);
    f.prompts.expectMessage("保存成功", QStringLiteral("保存成功！截图保存在 ") + f.folder(), PromptIcon::Information);
    takeSingleSnapshot(f.services(), f.source(), f.programDir());
    ASSERT_EQ(f.prompts.filePrompts().size(), 1u);
    EXPECT_EQ(f.prompts.filePrompts()[0].filter,
              QStringLiteral("BMP图像文件(*.bmp)|*.bmp|GIF图像文件(*.gif)|*.gif|JPG图像文件(*.jpg)|*.jpg"));
    EXPECT_EQ(f.prompts.filePrompts()[0].defaultSuffix, QStringLiteral("BMP"));
    EXPECT_TRUE(f.prompts.filePrompts()[0].confirmOverwrite);
    QFile jpeg(chosen);
    ASSERT_TRUE(jpeg.open(QIODevice::ReadOnly));
    EXPECT_TRUE(jpeg.read(3) == QByteArray("\xff\xd8\xff")) << "the format follows the name";
}

TEST(SingleSnapshot, DialogRoadsThatWriteNothing)
{
    const struct {
        const char* what;
        bool custom;
        bool folderExists;
        const char* answer;
    } cases[] = {
        {"png typed", true, true, "x.png"},
        {"cancelled", true, true, ""},
        {"missing folder asks even when not custom", false, false, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SingleFixture f;
        f.settings(c.custom, c.folderExists ? f.dir.path() : f.dir.filePath("missing"), "gif");
        f.prompts.expectSaveFile(*c.answer ? f.folder() + c.answer : QString());
        takeSingleSnapshot(f.services(), f.source(), f.programDir());
        EXPECT_EQ(f.captures, 1) << "the picture is taken before the dialog";
        EXPECT_TRUE(f.status.isEmpty());
        EXPECT_EQ(QDir(f.dir.path()).entryList(QDir::Files), QStringList{});
    }
}

TEST(SingleSnapshot, WebMovieWithAutomaticNamingReportsTheMissingFolder)
{
    SingleFixture f;
    f.settings(false, f.dir.path(), "jpg");
    f.prompts.expectMessage("路径无效", f.folder() + "http://example.com/不存在", PromptIcon::Error);
    takeSingleSnapshot(f.services(), f.source("http://example.com/m.swf"), f.programDir());
}

TEST(SingleSnapshot, NothingWithoutControlOrMovie)
{
    SingleFixture f;
    f.settings(true, f.dir.path(), "gif");
    SnapshotSource noControl = f.source();
    noControl.controlExists = false;
    SnapshotSource noMovie = f.source();
    noMovie.movieLoaded = false;
    takeSingleSnapshot(f.services(), noControl, f.programDir());
    takeSingleSnapshot(f.services(), noMovie, f.programDir());
    EXPECT_EQ(f.captures, 0);
}

}  // namespace
}  // namespace kivamo
