// The details window's data: target rules, the ten labels at their edges, the playing-movie group,
// "确定" and the sidecar file's bytes, and the engine's facts of plain and compressed movies.
#include "info/enginefacts.h"
#include "info/moviedetails.h"
#include "info/notes.h"
#include "platform/textfile.h"

#include "fakeplayback.h"
#include "support/testfiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace kivamo;
using namespace kivamo::test;

namespace {

// An uncompressed 550 × 400 movie header (version 9, 12.5 fps, 300 frames) padded with zeros to size bytes.
Bytes movieOfSize(std::size_t size)
{
    ByteWriter w;
    w.u8('F').u8('W').u8('S').u8(9).u32(std::uint32_t(size));
    w.bytes(rectBytes({0, 11000, 0, 8000}, 15));
    w.u16(0x0C80).u16(300);
    Bytes bytes = w.data();
    bytes.resize(size, 0);
    return bytes;
}

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const QStringList unknownTexts = {
    QStringLiteral("文件大小： <未知>"), QStringLiteral("创建日期： <未知>"), QStringLiteral("访问日期： <未知>"),
    QStringLiteral("修改日期： <未知>"), QStringLiteral("压缩与否： <未知>"), QStringLiteral("编译器版本： <未知>"),
    QStringLiteral("影片高度： <未知>"), QStringLiteral("影片宽度： <未知>"), QStringLiteral("影片帧率： <未知>"),
    QStringLiteral("影片帧数： <未知>"),
};

QStringList allLabels(const DetailLabels& l)
{
    return {l.fileSize, l.created, l.accessed, l.modified, l.compressed, l.version, l.height, l.width, l.frameRate, l.frameCount};
}

}  // namespace

TEST(MovieDetails, TargetIndexOfEachOpeningCommand)
{
    ListFixture f;
    struct Case {
        const char* name;
        int entries;
        int selected;
        DetailsSource source;
        bool loaded;
        int current;
        std::optional<int> target;
    } cases[] = {
        {"empty list opens nothing", 0, -1, DetailsSource::CurrentMovie, true, 0, std::nullopt},
        {"list menu: the selected entry", 3, 2, DetailsSource::SelectedEntry, true, 0, 2},
        {"list menu without selection", 3, -1, DetailsSource::SelectedEntry, true, 0, std::nullopt},
        {"tool button: the current index", 3, 2, DetailsSource::CurrentMovie, true, 1, 1},
        {"tool button with nothing loaded", 3, 2, DetailsSource::CurrentMovie, false, 1, std::nullopt},
        {"current index outside the list", 3, -1, DetailsSource::CurrentMovie, true, 5, std::nullopt},
    };
    for (const Case& c : cases) {
        f.list.clear();
        for (int i = 0; i < c.entries; ++i)
            f.list.append(movieEntry(QStringLiteral("m"), QStringLiteral("/m.swf")));
        if (c.selected >= 0)
            f.list.setSelected(c.selected, true);
        EXPECT_EQ(detailsTargetIndex(c.source, f.list, c.loaded, c.current), c.target) << c.name;
    }
}

TEST(MovieDetails, LabelsAreFilledOnlyWithSelectionOrForTheCurrentEntry)
{
    PlayList list;
    list.append(movieEntry(QStringLiteral("a"), QStringLiteral("/a.swf")));
    list.append(movieEntry(QStringLiteral("b"), QStringLiteral("/b.swf")));
    EXPECT_FALSE(detailsFilled(list, 0, 1));
    EXPECT_TRUE(detailsFilled(list, 1, 1));
    list.setSelected(1, true);
    EXPECT_TRUE(detailsFilled(list, 0, -1));
    EXPECT_FALSE(detailsFilled(list, 2, 2));
    EXPECT_FALSE(detailsFilled(PlayList(), 0, 0));
}

TEST(MovieDetails, SizeLineRoundsKilobytesDown)
{
    QTemporaryDir dir;
    struct Case {
        std::size_t size;
        const char* text;
    } cases[] = {
        {1536, "文件大小： 1 KB ( 1536 Bytes )"},
        {1023, "文件大小： 0 KB ( 1023 Bytes )"},
        {1024, "文件大小： 1 KB ( 1024 Bytes )"},
        {2047, "文件大小： 1 KB ( 2047 Bytes )"},
    };
    for (const Case& c : cases) {
        const QString path = storeFile(dir, QStringLiteral("m%1.swf").arg(c.size), movieOfSize(c.size));
        Result<DetailLabels> labels = detailLabels(path);
        ASSERT_TRUE(labels.ok()) << c.size;
        EXPECT_EQ(labels->fileSize, QString::fromUtf8(c.text));
    }
}

TEST(MovieDetails, UncompressedMovieLabels)
{
    QTemporaryDir dir;
    const QString path = storeFile(dir, QStringLiteral("movie.swf"), movieOfSize(1536));
    Result<DetailLabels> labels = detailLabels(QStringLiteral("  ") + path + QStringLiteral(" "));
    ASSERT_TRUE(labels.ok());
    EXPECT_EQ(labels->compressed, QStringLiteral("压缩与否： 否"));
    EXPECT_EQ(labels->version, QStringLiteral("编译器版本： 9"));
    EXPECT_EQ(labels->frameCount, QStringLiteral("影片帧数： 300 帧"));
    EXPECT_EQ(labels->frameRate, QStringLiteral("影片帧率： 12 FPS"));
    EXPECT_EQ(labels->width, QStringLiteral("影片宽度： 550"));
    EXPECT_EQ(labels->height, QStringLiteral("影片高度： 400"));
    // The path box looks the text up as it stands: with blanks around it no file is there.
    EXPECT_EQ(labels->path, QStringLiteral("文件不存在或者非FLASH影片"));
    EXPECT_EQ(detailLabels(path)->path, path);
}

TEST(MovieDetails, CompressedMovieShowsOnlyVersion)
{
    QTemporaryDir dir;
    // A zlib-compressed version 10 movie of two frames.
    const QString path = storeFile(dir, QStringLiteral("c.swf"), SwfWriter(10).showFrame().showFrame().finish(SwfCompression::Zlib));
    Result<DetailLabels> labels = detailLabels(path);
    ASSERT_TRUE(labels.ok());
    EXPECT_EQ(labels->compressed, QStringLiteral("压缩与否： 是"));
    EXPECT_EQ(labels->version, QStringLiteral("编译器版本： 10"));
    EXPECT_EQ(labels->frameCount, QStringLiteral("影片帧数： <未知>"));
    EXPECT_EQ(labels->frameRate, QStringLiteral("影片帧率： <未知>"));
    EXPECT_EQ(labels->width, QStringLiteral("影片宽度： <未知>"));
    EXPECT_EQ(labels->height, QStringLiteral("影片高度： <未知>"));
    EXPECT_TRUE(labels->fileSize.startsWith(QStringLiteral("文件大小： 0 KB ( ")));
}

TEST(MovieDetails, NoFileOrNoMovieShowsEveryUnknownText)
{
    QTemporaryDir dir;
    const QString notMovie = storeFile(dir, QStringLiteral("text.swf"), Bytes{'f', 'w', 's', 9, 0, 0, 0, 0, 0, 0, 0, 0});
    const QString paths[] = {QStringLiteral("http://example.com/a.swf"), dir.filePath(QStringLiteral("gone.swf")), notMovie};
    for (const QString& path : paths) {
        Result<DetailLabels> labels = detailLabels(path);
        ASSERT_TRUE(labels.ok()) << path.toStdString();
        QStringList shown = allLabels(labels.value());
        QStringList expected = unknownTexts;
        shown.sort();
        expected.sort();
        EXPECT_EQ(shown, expected) << path.toStdString();
    }
    EXPECT_EQ(detailLabels(QStringLiteral("http://example.com/a.swf"))->path, QStringLiteral("文件不存在或者非FLASH影片"));
    EXPECT_EQ(detailLabels(notMovie)->path, notMovie);
}

TEST(MovieDetails, HeaderCutShortIsReported)
{
    QTemporaryDir dir;
    const QString path = storeFile(dir, QStringLiteral("short.swf"), Bytes{'F', 'W', 'S', 9, 8, 0, 0, 0});
    Result<DetailLabels> labels = detailLabels(path);
    ASSERT_FALSE(labels.ok());
    EXPECT_EQ(labels.error().message, QStringLiteral("Stream read error"));
}

TEST(MovieDetails, DatesUseTheLocaleSeparators)
{
    const QDateTime time(QDate(2024, 7, 3), QTime(9, 5, 42));
    EXPECT_EQ(detailDateText(time, QLocale::c()), QStringLiteral("07/03/2024 09:05"));
    EXPECT_EQ(detailDateText(time, QLocale(QLocale::German, QLocale::Germany)), QStringLiteral("07.03.2024 09:05"));
    EXPECT_EQ(detailDateText(QDateTime(QDate(1999, 12, 31), QTime(23, 59)), QLocale::c()),
              QStringLiteral("12/31/1999 23:59"));

    QTemporaryDir dir;
    const QString path = storeFile(dir, QStringLiteral("dated.swf"), movieOfSize(100));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.setFileTime(time, QFileDevice::FileModificationTime));
    file.close();
    EXPECT_EQ(detailLabels(path, QLocale::c())->modified, QStringLiteral("修改日期： 07/03/2024 09:05"));
}

TEST(MovieDetails, PlayingGroupOnlyForTheLoadedTarget)
{
    const char* states[] = {"播放状态： 正在载入", "播放状态： 未初始化", "播放状态： 已载入", "播放状态： 正在交互",
                            "播放状态： 完成"};
    for (int state = 0; state <= 4; ++state) {
        NowPlayingGroup group = nowPlayingGroup({true, true, true, state, QStringLiteral("高"), QStringLiteral("我的列表")});
        EXPECT_TRUE(group.enabled);
        EXPECT_EQ(group.state, QString::fromUtf8(states[state]));
        EXPECT_EQ(group.quality, QStringLiteral("播放品质： 高"));
        EXPECT_EQ(group.list, QStringLiteral("当前列表： 我的列表"));
    }
    // Another ready state keeps the design caption.
    EXPECT_EQ(nowPlayingGroup({true, true, true, 7, {}, {}}).state, QStringLiteral("播放状态："));
    const NowPlayingInputs disabled[] = {
        {false, true, true, 4, QStringLiteral("高"), QStringLiteral("l")},
        {true, false, true, 4, QStringLiteral("高"), QStringLiteral("l")},
        {true, true, false, 4, QStringLiteral("高"), QStringLiteral("l")},
    };
    for (const NowPlayingInputs& inputs : disabled) {
        NowPlayingGroup group = nowPlayingGroup(inputs);
        EXPECT_FALSE(group.enabled);
        EXPECT_EQ(group.state, QStringLiteral("播放状态："));
        EXPECT_EQ(group.quality, QStringLiteral("播放品质："));
        EXPECT_EQ(group.list, QStringLiteral("当前列表："));
    }
}

TEST(MovieDetails, ConfirmWritesTheSidecarBytesAndReadsThemBack)
{
    QTemporaryDir dir;
    const QString movie = storeFile(dir, QStringLiteral("动画.swf"), movieOfSize(64));
    PlayList list;
    list.append(movieEntry(QStringLiteral("动画"), movie));
    list.setSelected(0, true);
    const RrightInfo notes{QStringLiteral("张三"), QStringLiteral("闪客帝国"), QStringLiteral("游戏")};
    ASSERT_TRUE(confirmDetails(list, 0, notes).ok());

    EXPECT_EQ(list.at(0).author, QStringLiteral("张三"));
    EXPECT_EQ(list.at(0).source, QStringLiteral("闪客帝国"));
    EXPECT_EQ(list.at(0).type, QStringLiteral("游戏"));
    EXPECT_FALSE(list.isModified());
    const QString sidecar = dir.filePath(QStringLiteral("动画.fci"));
    const QByteArray expected = encodeGb18030(QStringLiteral("张三\r\n闪客帝国\r\n游戏\r\n路径：") + movie + QStringLiteral("\r\n"));
    EXPECT_EQ(fileBytes(sidecar), expected);
    const RrightInfo back = readNotes(movie);
    EXPECT_EQ(back.author, notes.author);
    EXPECT_EQ(back.source, notes.source);
    EXPECT_EQ(back.type, notes.type);
    EXPECT_EQ(entryNotes(list, 0).source, QStringLiteral("闪客帝国"));
}

TEST(MovieDetails, ConfirmOnWebEntryStoresNotesWithoutSidecar)
{
    QTemporaryDir dir;
    PlayList list;
    list.append(movieEntry(QStringLiteral("http://example.com/a.swf"), QStringLiteral("http://example.com/a.swf")));
    list.append(movieEntry(QStringLiteral("gone"), dir.filePath(QStringLiteral("gone.swf"))));
    list.selectAll();
    const RrightInfo notes{QStringLiteral("甲"), QStringLiteral("乙"), QStringLiteral("影片")};
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(confirmDetails(list, i, notes).ok());
        EXPECT_EQ(list.at(i).author, QStringLiteral("甲"));
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList());
}

TEST(MovieDetails, ConfirmWithoutSelectionWritesOnlyTheSidecar)
{
    QTemporaryDir dir;
    const QString movie = storeFile(dir, QStringLiteral("m.swf"), movieOfSize(64));
    PlayList list;
    list.append(movieEntry(QStringLiteral("m"), movie));
    const MovieEntry before = list.at(0);
    ASSERT_TRUE(confirmDetails(list, 0, {QStringLiteral("作者"), QStringLiteral("出处"), QStringLiteral("课件")}).ok());
    EXPECT_EQ(list.at(0), before);
    EXPECT_EQ(readNotes(movie).type, QStringLiteral("课件"));
}

TEST(MovieDetails, FailedSidecarWriteIsReportedAndNotesStayInTheEntry)
{
    QTemporaryDir dir;
    const QString movie = storeFile(dir, QStringLiteral("m.swf"), movieOfSize(64));
    // A folder where the sidecar file should go: the write must fail and say so.
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("m.fci")));
    PlayList list;
    list.append(movieEntry(QStringLiteral("m"), movie));
    list.setSelected(0, true);
    Result<void> written = confirmDetails(list, 0, {QStringLiteral("作者"), QStringLiteral("出处"), QStringLiteral("课件")});
    EXPECT_FALSE(written.ok());
    EXPECT_EQ(list.at(0).author, QStringLiteral("作者"));
    EXPECT_TRUE(QFileInfo(dir.filePath(QStringLiteral("m.fci"))).isDir());
}

TEST(EngineFacts, CompressedMovieFactsComeFromTheEngine)
{
    QTemporaryDir dir;
    // A zlib-compressed version 8 movie, 320 × 240 at 15 fps, three frames and one DoAction block.
    SwfWriter writer(8, {0, 6400, 0, 4800}, 15 << 8);
    writer.tag(12, Bytes{0}).showFrame().showFrame().showFrame();
    const QString path = storeFile(dir, QStringLiteral("c.swf"), writer.finish(SwfCompression::Zlib));
    const EngineFacts facts = readEngineFacts(path);
    ASSERT_TRUE(facts.known) << facts.error.toStdString();
    EXPECT_EQ(facts.compression, QStringLiteral("zlib"));
    EXPECT_EQ(facts.version, 8);
    EXPECT_EQ(facts.width, 320);
    EXPECT_EQ(facts.height, 240);
    EXPECT_EQ(facts.declaredFrames, 3);
    EXPECT_EQ(facts.shownFrames, 3);
    EXPECT_EQ(facts.framesPerSecond, 15);
    EXPECT_EQ(facts.scripts, 1);
    EXPECT_FALSE(facts.actionScript3);
    const QStringList lines = engineFactLines(facts);
    EXPECT_EQ(lines.value(0), QStringLiteral("实际尺寸： 320 × 240"));
    EXPECT_EQ(lines.value(1), QStringLiteral("实际帧数： 3 帧"));
    EXPECT_EQ(lines.value(2), QStringLiteral("实际帧率： 15 FPS"));
    EXPECT_EQ(lines.value(3), QStringLiteral("脚本版本： ActionScript 1/2"));
    EXPECT_EQ(lines.value(4), QStringLiteral("脚本数量： 1"));
}

TEST(EngineFacts, UnreadableMovieGivesOneReasonLine)
{
    QTemporaryDir dir;
    const QString paths[] = {dir.filePath(QStringLiteral("gone.swf")),
                             storeFile(dir, QStringLiteral("x.swf"), Bytes{'X', 'Y', 'Z', 1, 2, 3})};
    for (const QString& path : paths) {
        const EngineFacts facts = readEngineFacts(path);
        EXPECT_FALSE(facts.known);
        const QStringList lines = engineFactLines(facts);
        ASSERT_EQ(lines.size(), 1);
        EXPECT_TRUE(lines.first().startsWith(QStringLiteral("引擎无法读取："))) << lines.first().toStdString();
    }
}

TEST(MovieDetails, ViewOfTheLoadedAndOfAnotherEntry)
{
    QTemporaryDir dir;
    const QString movie = storeFile(dir, QStringLiteral("m.swf"), movieOfSize(1536));
    const QString cut = storeFile(dir, QStringLiteral("cut.swf"), Bytes{'F', 'W', 'S', 9, 8, 0, 0, 0});
    PlayList list;
    list.append(movieEntry(QStringLiteral("m"), movie));
    list.append(movieEntry(QStringLiteral("cut"), cut));
    MovieEntry noted = list.at(0);
    noted.author = QStringLiteral("作者甲");
    list.setEntry(0, noted);
    const NowPlayingInputs player{true, false, true, 4, QStringLiteral("高"), QStringLiteral("新建")};

    // Without a selection only the current entry is shown.
    EXPECT_FALSE(detailsView(list, 0, 1, player).filled);
    DetailsView current = detailsView(list, 0, 0, player);
    ASSERT_TRUE(current.filled);
    EXPECT_TRUE(current.now.enabled);
    EXPECT_EQ(current.now.state, QStringLiteral("播放状态： 完成"));
    EXPECT_EQ(current.notes.author, QStringLiteral("作者甲"));
    EXPECT_EQ(current.labels.fileSize, QStringLiteral("文件大小： 1 KB ( 1536 Bytes )"));
    EXPECT_FALSE(current.error.has_value());

    list.setSelected(1, true);
    DetailsView other = detailsView(list, 1, 0, player);
    ASSERT_TRUE(other.filled);
    EXPECT_FALSE(other.now.enabled);
    ASSERT_TRUE(other.error.has_value());
    EXPECT_EQ(other.error->message, QStringLiteral("Stream read error"));
    EXPECT_TRUE(other.labels.fileSize.isEmpty());
    EXPECT_EQ(other.notes.author, QStringLiteral("未知"));
}

TEST(MovieDetails, SidecarKeepsCharactersOutsideGbk)
{
    QTemporaryDir dir;
    const QString movie = storeFile(dir, QStringLiteral("m.swf"), movieOfSize(64));
    PlayList list;
    list.append(movieEntry(QStringLiteral("m"), movie));
    list.setSelected(0, true);
    // "€" and a character of CJK extension B are GB18030 only; "𠀀" takes four bytes there.
    const RrightInfo notes{QStringLiteral("𠀀先生"), QStringLiteral("€ 网站"), QStringLiteral("MTV")};
    ASSERT_TRUE(confirmDetails(list, 0, notes).ok());
    const QByteArray bytes = fileBytes(dir.filePath(QStringLiteral("m.fci")));
    EXPECT_TRUE(bytes.startsWith(QByteArray("\x95\x32\x82\x36", 4))) << bytes.toHex().toStdString();
    const RrightInfo back = readNotes(movie);
    EXPECT_EQ(back.author, notes.author);
    EXPECT_EQ(back.source, notes.source);
    EXPECT_EQ(back.type, notes.type);
}

TEST(MovieDetails, SizeLineOfAMovieBeyondFourGigabytes)
{
    QTemporaryDir dir;
    // A movie header followed by a hole: a sparse file of 4 GiB + 1536 bytes, whose low 32 bits
    // alone would read 1536.
    const QString path = storeFile(dir, QStringLiteral("big.swf"), movieOfSize(64));
    QFile file(path);
    ASSERT_TRUE(file.resize((qint64(1) << 32) + 1536));
    Result<DetailLabels> labels = detailLabels(path);
    ASSERT_TRUE(labels.ok());
    EXPECT_EQ(labels->fileSize, QStringLiteral("文件大小： 4194305 KB ( 4294968832 Bytes )"));
}
