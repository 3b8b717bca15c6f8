// The continuous-snapshot run of `Tfpic`: numbered files per tick, the summary, close refused while
// running, folder creation with and without asking, [contpic] round trip, and ticks that do not
// pile up while a failing save's message box is open.
#include "dialogs/continuoussnapshot.h"

#include "support/scriptedprompts.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace kivamo {
namespace {

using test::ScriptedPrompts;

class RecordingTimer : public SnapshotTimer {
public:
    void start(int intervalMs) override
    {
        active = true;
        interval = intervalMs;
        ++starts;
    }
    void stop() override { active = false; }
    bool active = false;
    int interval = 0;
    int starts = 0;
};

struct SnapshotRun {
    QTemporaryDir program;
    QTemporaryDir target;
    ScriptedPrompts prompts;
    RecordingTimer timer;
    bool movieLoaded = true;
    bool optical = false;
    std::unique_ptr<ContinuousSnapshot> dialog;

    explicit SnapshotRun(Prompts* customPrompts = nullptr)
    {
        SnapshotServices services;
        services.prompts = customPrompts ? customPrompts : &prompts;
        services.showStatus = [](const QString&) {};
        services.onOpticalMedia = [this](const QString&) { return optical; };
        services.mountPointOf = [](const QString&) { return QStringLiteral("/media/cdrom"); };
        ContinuousSource source;
        source.controlExists = [this] { return movieLoaded; };
        source.movieLoaded = [this] { return movieLoaded; };
        source.moviePath = [] { return QStringLiteral("/movies/b.swf"); };
        source.capture = [] {
            QImage picture(16, 12, QImage::Format_RGB32);
            picture.fill(Qt::blue);
            return picture;
        };
        dialog = std::make_unique<ContinuousSnapshot>(services, source, timer, program.path() + u'/');
        dialog->path = target.path();
    }
    QStringList files() const { return QDir(target.path()).entryList(QDir::Files, QDir::Name); }
};

TEST(ContinuousSnapshot, ThreeTicksIntoAnEmptyFolderThenTheSummary)
{
    SnapshotRun run;
    run.dialog->gifSelected = false;
    run.dialog->setTimes(100);
    ASSERT_TRUE(run.dialog->start());
    EXPECT_TRUE(run.timer.active);
    EXPECT_EQ(run.timer.interval, 100);
    for (int i = 0; i < 3; ++i)
        run.dialog->tick();
    EXPECT_EQ(run.files(), (QStringList{"b0.jpg", "b1.jpg", "b2.jpg"}));
    EXPECT_EQ(run.dialog->countLabel(), QStringLiteral("3张"));
    EXPECT_EQ(run.dialog->lastFile(), run.target.path() + "/b2.jpg");

    run.prompts.expectMessage("连续截图完毕",
                              QStringLiteral("信息：停止截图\r\n截图类型：jpg\r\n保存路径：") + run.target.path()
                                  + QStringLiteral("\r\n截图数量：3"),
                              PromptIcon::Information);
    run.dialog->stop();
    EXPECT_FALSE(run.timer.active);
    EXPECT_EQ(run.dialog->countLabel(), QStringLiteral("0张"));
}

TEST(ContinuousSnapshot, CloseRefusedWhileRunning)
{
    SnapshotRun run;
    ASSERT_TRUE(run.dialog->start());
    run.prompts.expectMessage("错误", "请先终止快照", PromptIcon::Information);
    EXPECT_FALSE(run.dialog->canClose());
    run.prompts.expectMessage("连续截图完毕", {}, PromptIcon::Information);
    run.dialog->stop();
    EXPECT_TRUE(run.dialog->canClose());
}

TEST(ContinuousSnapshot, StartWithoutMovieOnlyResetsTheCount)
{
    SnapshotRun run;
    ASSERT_TRUE(run.dialog->start());
    run.dialog->tick();
    run.prompts.expectMessage("连续截图完毕", {}, PromptIcon::Information);
    run.dialog->stop();
    run.movieLoaded = false;
    const int starts = run.timer.starts;
    EXPECT_FALSE(run.dialog->start());
    EXPECT_EQ(run.dialog->count(), 0);
    EXPECT_EQ(run.timer.starts, starts);
    EXPECT_FALSE(run.dialog->running());
}

TEST(ContinuousSnapshot, TicksWithoutControlOrFolderDoNothing)
{
    SnapshotRun run;
    ASSERT_TRUE(run.dialog->start());
    run.movieLoaded = false;
    run.dialog->tick();
    run.movieLoaded = true;
    run.dialog->path = run.target.filePath("gone");
    run.dialog->tick();
    EXPECT_EQ(run.dialog->count(), 0);
    EXPECT_TRUE(run.files().isEmpty());
    EXPECT_TRUE(run.dialog->running()) << "the run goes on until stopped";
}

TEST(ContinuousSnapshot, MissingFolderCreatedWithOrWithoutAsking)
{
    const struct {
        const char* what;
        bool autocreat;
        bool ask;
        PromptButton answer;
        bool started;
    } cases[] = {
        {"created silently", true, false, PromptButton::None, true},
        {"asked, yes", false, true, PromptButton::Yes, true},
        {"asked, no", false, true, PromptButton::No, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SnapshotRun run;
        run.dialog->path = run.target.filePath("new/deeper");
        run.dialog->autocreat = c.autocreat;
        if (c.ask)
            run.prompts.expectMessage("路径不存在", "路径不存在，是否创建？", PromptIcon::Question,
                                      PromptButton::Yes | PromptButton::No, c.answer);
        EXPECT_EQ(run.dialog->start(), c.started);
        EXPECT_EQ(QFileInfo(run.target.filePath("new/deeper")).isDir(), c.started);
        EXPECT_EQ(run.timer.active, c.started);
    }
}

TEST(ContinuousSnapshot, FolderThatCannotBeCreated)
{
    SnapshotRun run;
    QFile blocker(run.target.filePath("file"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    run.dialog->path = run.target.filePath("file/sub");
    run.prompts.expectMessage("文件夹创建失败", "文件夹创建失败，请检查路径", PromptIcon::Error);
    EXPECT_FALSE(run.dialog->start());
    EXPECT_FALSE(run.timer.active);
}

// A message box of the run holds the timer; a tick that still arrives inside it is dropped.
class ReenteringPrompts : public Prompts {
public:
    ContinuousSnapshot* dialog = nullptr;
    RecordingTimer* timer = nullptr;
    int boxes = 0;
    int boxesWithTimerRunning = 0;
    PromptButton message(const MessagePrompt&) override
    {
        ++boxes;
        boxesWithTimerRunning += timer->active;
        if (boxes == 1)
            dialog->tick();
        return PromptButton::Ok;
    }
    QStringList openFiles(const FilePrompt&) override { return {}; }
    QString saveFile(const FilePrompt&) override { return {}; }
    QString chooseFolder(const QString&, const QString&) override { return {}; }
    std::optional<QColor> chooseColour(const QColor&) override { return std::nullopt; }
    bool choosePrinter(QPrinter&) override { return false; }
};

TEST(ContinuousSnapshot, FailingSavesDoNotPileUpMessageBoxes)
{
    ReenteringPrompts prompts;
    SnapshotRun run(&prompts);
    prompts.dialog = run.dialog.get();
    prompts.timer = &run.timer;
    ASSERT_TRUE(run.dialog->start());
    run.optical = true;  // every save now fails with a box
    run.dialog->tick();
    EXPECT_EQ(prompts.boxes, 1) << "the tick inside the box was dropped";
    EXPECT_EQ(prompts.boxesWithTimerRunning, 0);
    EXPECT_TRUE(run.timer.active) << "the timer runs again once the box is closed";
    run.dialog->tick();
    EXPECT_EQ(prompts.boxes, 2);
    EXPECT_EQ(run.dialog->count(), 0);
}

TEST(ContinuousSnapshot, SettingsReadClampedAndSavedOnlyWhenAsked)
{
    SnapshotRun run;
    const QString ini = run.program.filePath("main.ini");
    const struct {
        const char* text;
        bool gif;
        int times;
    } cases[] = {
        {"[contpic]\r\nimagetype=jpg\r\ntimes=50\r\n", false, 100},
        {"[contpic]\r\nimagetype=png\r\ntimes=5000\r\n", true, 2000},
        {"[contpic]\r\nimagetype=gif\r\ntimes=730\r\n", true, 730},
    };
    for (const auto& c : cases) {
        QFile file(ini);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(c.text);
        file.close();
        run.dialog->gifSelected = !c.gif;
        run.dialog->load();
        EXPECT_EQ(run.dialog->gifSelected, c.gif) << c.text;
        EXPECT_EQ(run.dialog->times, c.times) << c.text;
    }
    EXPECT_EQ(run.dialog->timesLabel(), QStringLiteral("730毫秒"));

    QFile::remove(ini);
    ASSERT_TRUE(run.dialog->closeButton().ok());
    EXPECT_FALSE(QFile::exists(ini)) << "nothing written without 保存设置";
    run.dialog->saveSettings = true;
    run.dialog->path = "/pictures/here";
    run.dialog->autocreat = false;
    run.dialog->gifSelected = false;
    run.dialog->setTimes(250);
    ASSERT_TRUE(run.dialog->closeButton().ok());
    run.dialog->load();
    EXPECT_EQ(run.dialog->path, QStringLiteral("/pictures/here"));
    EXPECT_FALSE(run.dialog->autocreat);
    EXPECT_FALSE(run.dialog->gifSelected);
    EXPECT_EQ(run.dialog->times, 250);
}

TEST(ContinuousSnapshot, QtTimerFollowsTheRun)
{
    QTimer timer;
    QtSnapshotTimer adapter(timer);
    adapter.start(250);
    EXPECT_TRUE(timer.isActive());
    EXPECT_EQ(timer.interval(), 250);
    adapter.stop();
    EXPECT_FALSE(timer.isActive());
}

TEST(ContinuousSnapshot, PathStateAndBackslashKey)
{
    QTemporaryDir dir;
    const QColor red(255, 0, 0), green(0, 128, 0);
    const struct {
        QString text;
        bool optical;
        const char* state;
        QColor colour;
    } cases[] = {
        {dir.path(), false, "路径状态：有效", green},
        {"  " + dir.path() + "  ", false, "路径状态：有效", green},
        {dir.filePath("missing"), false, "路径状态：无效(路径不存在)", red},
        {"", false, "路径状态：无效(路径不存在)", red},
        {dir.path(), true, "路径状态：无效(光驱路径)", red},
    };
    for (const auto& c : cases) {
        const PathState state = snapshotPathState(c.text, [&](const QString&) { return c.optical; });
        EXPECT_EQ(state.text, QString::fromUtf8(c.state)) << c.text.toStdString();
        EXPECT_EQ(state.colour, c.colour) << c.text.toStdString();
    }
    SnapshotRun run;
    run.dialog->path = "/a/";
    EXPECT_FALSE(run.dialog->acceptKey(u'/'));
    EXPECT_FALSE(run.dialog->acceptKey(u'\\'));
    EXPECT_TRUE(run.dialog->acceptKey(u'b'));
    run.dialog->path = "/a";
    EXPECT_TRUE(run.dialog->acceptKey(u'/'));
}

}  // namespace
}  // namespace kivamo
