// Tfsearchrec offscreen, driven by a real directory walk: it shows the walk's texts, closes when the
// walk ends, and closing it (取消) stops the walk after the current file.
#include "playlist/ui/tfsearchrec.h"

#include "support/testapplication.h"
#include "info/browsercache.h"
#include "walkfixture.h"

#include <QFile>
#include <QLabel>
#include <QMetaObject>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace kivamo;
using namespace kivamo::test;

namespace {

// A folder of empty movie files m000.swf, m001.swf …; the walk only looks at names.
void makeMovies(const QTemporaryDir& dir, int count)
{
    for (int i = 0; i < count; ++i) {
        QFile file(dir.filePath(QStringLiteral("m%1.swf").arg(i, 3, 10, QLatin1Char('0'))));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
}

// Every call is a repaint interval later, so every added movie is shown.
DirectoryAdder::Clock steppingClock()
{
    auto now = std::make_shared<qint64>(0);
    return [now] { return *now += DirectoryAdder::repaintInterval; };
}

void expectNoSubdirectoryQuestion(ScriptedPrompts& prompts)
{
    prompts.expectMessage(QStringLiteral("添加目录"), QStringLiteral("是否同时添加子目录？"), PromptIcon::Question,
                          PromptButton::Yes | PromptButton::No, PromptButton::No);
}

}  // namespace

TEST(Tfsearchrec, HasItsDesignLayout)
{
    ensureApplication();
    Tfsearchrec window;
    EXPECT_EQ(window.windowTitle(), QStringLiteral("正在添加文件，请稍等..."));
    EXPECT_EQ(window.size(), QSize(444, 81));
    EXPECT_TRUE(window.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(window.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(window.font().pixelSize(), 12);
    EXPECT_EQ(window.findChild<QLabel*>("LAB_1")->text(), QStringLiteral("正在添加："));
    EXPECT_EQ(window.LAB_1->geometry(), QRect(8, 8, 425, 14));
    EXPECT_EQ(window.findChild<QLabel*>("LAB_2")->text(), QStringLiteral("已添加："));
    EXPECT_EQ(window.LAB_2->geometry().topLeft(), QPoint(8, 32));
    QProgressBar* bar = window.findChild<QProgressBar*>("PROB_1");
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->geometry(), QRect(136, 32, 297, 16));
    EXPECT_EQ(bar->minimum(), 0);
    EXPECT_EQ(bar->maximum(), 100);
    EXPECT_EQ(bar->value(), 20);
    QToolButton* cancel = window.findChild<QToolButton*>("SB_cancel");
    ASSERT_NE(cancel, nullptr);
    EXPECT_EQ(cancel->text(), QStringLiteral("取消"));
    EXPECT_EQ(cancel->geometry(), QRect(376, 56, 57, 17));
    EXPECT_TRUE(cancel->autoRaise());
    for (QWidget* control : window.findChildren<QWidget*>()) {
        EXPECT_FALSE(control->accessibleName().isEmpty()) << control->objectName().toStdString();
        EXPECT_FALSE(control->accessibleDescription().isEmpty()) << control->objectName().toStdString();
    }
}

TEST(Tfsearchrec, ShowsTheWalkAndClosesAtItsEnd)
{
    ensureApplication();
    QTemporaryDir dir;
    makeMovies(dir, 103);
    ListFixture f;
    expectNoSubdirectoryQuestion(f.prompts);
    Tfsearchrec window;
    DirectoryAdder adder(f.context, window, steppingClock());
    window.setCancel([&adder] { adder.cancel(); });
    adder.addDirectory(dir.path() + u'/');

    EXPECT_EQ(f.list.count(), 103);
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(window.LAB_1->text().startsWith(QStringLiteral("正在添加：") + dir.path() + u'/'));
    EXPECT_TRUE(window.LAB_1->text().endsWith(QStringLiteral(".swf")));
    EXPECT_EQ(window.LAB_2->text(), QStringLiteral("已添加： 103 个"));
    EXPECT_EQ(window.PROB_1->value(), 3);  // the bar wraps every hundred movies
}

TEST(Tfsearchrec, CancelStopsTheWalkAfterTheCurrentFile)
{
    ensureApplication();
    QTemporaryDir dir;
    makeMovies(dir, 20);
    ListFixture f;
    expectNoSubdirectoryQuestion(f.prompts);
    Tfsearchrec window;
    DirectoryAdder adder(f.context, window, steppingClock());
    window.setCancel([&adder] { adder.cancel(); });
    // The click waits in the event queue; the walk lets it through after the first movie.
    QMetaObject::invokeMethod(window.SB_cancel, &QToolButton::click, Qt::QueuedConnection);
    adder.addDirectory(dir.path() + u'/');

    EXPECT_EQ(f.list.count(), 1);
    EXPECT_EQ(adder.addedCount(), 1);
    EXPECT_FALSE(adder.addContinue());
    EXPECT_FALSE(window.isVisible());
}

TEST(Tfsearchrec, MouseMoveClosesTheWindowOnlyAfterTheWalk)
{
    ensureApplication();
    ListFixture f;
    Tfsearchrec window;
    DirectoryAdder adder(f.context, window, steppingClock());
    window.setCancel([&adder] { adder.cancel(); });
    window.show();
    // No walk is running: the add continue flag is false and a touch of the mouse closes it.
    EXPECT_FALSE(window.addContinue());
    window.FormMouseMove();
    EXPECT_FALSE(window.isVisible());

    // While a walk runs the window stays; its closing (the frame, or Alt+F4) cancels the walk.
    QTemporaryDir dir;
    makeMovies(dir, 3);
    bool stayedDuringWalk = false;
    struct Probe : WalkProgressView {
        Tfsearchrec& window;
        bool& stayed;
        Probe(Tfsearchrec& w, bool& s) : window(w), stayed(s) {}
        void showWindow() override { window.showWindow(); }
        void showStatus(const WalkStatus& status) override
        {
            window.showStatus(status);
            window.FormMouseMove();
            stayed = window.isVisible();
            window.close();
        }
        void processEvents() override {}
        void closeWindow() override { window.closeWindow(); }
    } probe(window, stayedDuringWalk);
    DirectoryAdder probed(f.context, probe, steppingClock());
    window.setCancel([&probed] { probed.cancel(); });
    f.prompts.expectMessage(QStringLiteral("添加目录"), QString(), PromptIcon::Question,
                            PromptButton::Yes | PromptButton::No, PromptButton::No);
    probed.addDirectory(dir.path() + u'/');
    EXPECT_TRUE(stayedDuringWalk);
    EXPECT_EQ(f.list.count(), 1);
}

TEST(Tfsearchrec, CancelAlsoStopsTheBrowserCacheWalk)
{
    ensureApplication();
    QTemporaryDir dir;
    makeMovies(dir, 20);
    ListFixture f;
    expectNoSubdirectoryQuestion(f.prompts);
    Tfsearchrec window;
    DirectoryAdder adder(f.context, window, steppingClock());
    CacheWalker cache(f.context, window, steppingClock());
    // One window serves both walks; closing it cancels whichever runs.
    window.setCancel([&adder, &cache] {
        adder.cancel();
        cache.cancel();
    });
    QMetaObject::invokeMethod(window.SB_cancel, &QToolButton::click, Qt::QueuedConnection);
    cache.addCacheFolder(dir.path());

    EXPECT_EQ(f.list.count(), 1);
    EXPECT_EQ(cache.addedCount(), 1);
    EXPECT_FALSE(window.isVisible());
    EXPECT_FALSE(window.addContinue());
}
