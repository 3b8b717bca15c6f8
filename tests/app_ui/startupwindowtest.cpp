// Creating and closing the main window in a temporary program directory: defaults without main.ini,
// the keys written at close and what the next start restores from them.
#include "fixture.h"

#include "app/ui/picturebutton.h"
#include "app/ui/tfabout.h"
#include "platform/inifile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QPointer>

using namespace kivamo;
using namespace kivamo::test;

TEST_F(MainFormTest, FirstStartWithoutMainIniShowsTheDefaultWindow)
{
    auto form = create();
    EXPECT_EQ(form->pos(), QPoint(60, 60));
    EXPECT_EQ(form->size(), QSize(700, 500));
    EXPECT_EQ(form->minimumSize(), QSize(500, 400));
    EXPECT_TRUE(form->pnl_TOOLBAR->isVisibleTo(form.get()));
    EXPECT_TRUE(form->pnl_list->isVisibleTo(form.get()));
    EXPECT_TRUE(form->TT_PlayControl->isVisibleTo(form.get()));
    EXPECT_FALSE(form->pnl_splaycontrol->isVisibleTo(form.get()));
    EXPECT_TRUE(form->TB_viewlist->isChecked());
    EXPECT_FALSE(form->isMaximized());
    EXPECT_FALSE(form->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_FALSE(form->btn_CBOnTop->isChecked());
    EXPECT_EQ(form->windowTitle(), "Kivamo flash播放器 V0.9.3.12 Beta");
    EXPECT_EQ(form->LAB_hint->text(), "就绪");
    EXPECT_EQ(form->LAB_state->text(), "当前列表：新建");
    EXPECT_EQ(form->LAB_listtitle->text(), "播放列表：新建");
    EXPECT_TRUE(QDir(dir.filePath("images")).exists());
    EXPECT_TRUE(form->startupSettings().autoplay);
    EXPECT_EQ(form->startupSettings().step, 20);
    EXPECT_EQ(operations.calls, (QStringList{"reset", "clear modified", "associate 0", "new list"}));
    EXPECT_FALSE(QFile::exists(mainIni()));
}

TEST_F(MainFormTest, ResetLookIsTheNotLoadedLook)
{
    auto form = create();
    form->LAB_play->setText("x");
    form->LAB_s->setSymbol("4");
    form->SL_MainTrackBar->setEnabled(true);
    form->SL_MainTrackBar2->setValue(7);
    form->showNotLoaded();
    EXPECT_EQ(form->windowTitle(), "未载入 - Kivamo flash播放器 V0.9.3.12 Beta");
    EXPECT_EQ(form->LAB_play->text(), "　　未载入");
    EXPECT_EQ(form->LAB_s->text(), "<");
    EXPECT_FALSE(form->SL_MainTrackBar->isEnabled());
    EXPECT_FALSE(form->SL_MainTrackBar2->isEnabled());
    EXPECT_EQ(form->SL_MainTrackBar2->value(), 0);
    EXPECT_TRUE(form->B_bplay->isVisibleTo(form.get()));
    EXPECT_FALSE(form->B_Bpause->isVisibleTo(form.get()));
    EXPECT_EQ(form->TB_play->toolTip(), "播放影片");
}

TEST_F(MainFormTest, CloseWritesTheLayoutKeysInOrder)
{
    auto form = create();
    form->move(10, 20);
    form->resize(640, 480);
    form->close();
    QFile file(mainIni());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromLatin1(file.readAll()),
              QString::fromLatin1("[form]\r\nwidth=640\r\nheight=480\r\ntop=20\r\nleft=10\r\ntoolbar=1\r\nlist=1\r\n"
                         "playcontrol=1\r\nsplaycontrol=0\r\nmax=0\r\n\r\n\r\n[play]\r\nlastlist=\r\nlastindex=-1\r\n"
                         "ontop=0\r\n"));
}

TEST_F(MainFormTest, ExitEntryClosesAsTheCloseBoxDoes)
{
    auto form = create();
    form->show();
    form->menuAction("X1")->trigger();
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(QFile::exists(mainIni()));
}

TEST_F(MainFormTest, MaximisedCloseKeepsTheNormalBoundsAndTheNextStartMaximises)
{
    {
        auto form = create();
        form->move(30, 40);
        form->resize(600, 450);
        form->close();
    }
    {
        auto form = create();
        form->setWindowState(Qt::WindowMaximized);
        form->close();
    }
    const IniFile ini = IniFile::load(mainIni());
    EXPECT_EQ(ini.readInteger("form", "width", 0), 600);
    EXPECT_EQ(ini.readInteger("form", "left", 0), 30);
    EXPECT_TRUE(ini.readBool("form", "max", false));
    auto form = create();
    EXPECT_TRUE(form->isMaximized());
    EXPECT_EQ(form->pos(), QPoint(30, 40));
}

TEST_F(MainFormTest, CompactLayoutAndOnTopSurviveARestart)
{
    {
        auto form = create();
        form->MNI_MOnTopClick();
        form->SB_min->click();
        form->close();
    }
    auto form = create();
    EXPECT_FALSE(form->pnl_TOOLBAR->isVisibleTo(form.get()));
    EXPECT_FALSE(form->pnl_list->isVisibleTo(form.get()));
    EXPECT_FALSE(form->TT_PlayControl->isVisibleTo(form.get()));
    EXPECT_TRUE(form->pnl_splaycontrol->isVisibleTo(form.get()));
    EXPECT_FALSE(form->TB_viewlist->isChecked());
    EXPECT_TRUE(form->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(form->btn_CBOnTop->isChecked());
    EXPECT_TRUE(form->btn_CBOnTop2->isChecked());
    EXPECT_TRUE(form->menuAction("MNI_MOnTop")->isChecked());
    form->FormShow();
    EXPECT_EQ(form->SB_LButton->text(), ">");
    EXPECT_EQ(form->SB_LButton->x(), 0);
}

TEST_F(MainFormTest, CommandLineMoviePlaysAndLastListIsSkipped)
{
    QFile(dir.filePath("a.swf")).open(QIODevice::WriteOnly);
    auto form = create({dir.filePath("a.swf")});
    EXPECT_EQ(operations.calls.mid(3),
              (QStringList{"new list", "add " + dir.filePath("a.swf") + " 1", "index 0", "play"}));
}

TEST_F(MainFormTest, HandOffReadsLineTwoOfTheRuntimeFile)
{
    auto form = create();
    operations.calls.clear();
    QFile(dir.filePath("b.swf")).open(QIODevice::WriteOnly);
    const QString runtime = dir.filePath("runtime.dat");
    QFile file(runtime);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("123\r\n" + dir.filePath("b.swf").toUtf8() + " \r\n");
    file.close();
    form->handOffReceived(runtime);
    EXPECT_EQ(operations.calls, (QStringList{"new list", "add " + dir.filePath("b.swf") + " 1", "index 0", "play", "title"}));
    operations.calls.clear();
    form->handOffReceived(dir.filePath("missing.dat"));
    EXPECT_EQ(operations.calls, QStringList{"title"});
}

TEST(AboutWindow, SplashAndAboutBoxLooks)
{
    TFabout splash(false);
    EXPECT_TRUE(splash.LAB_loading->isVisibleTo(&splash));
    EXPECT_FALSE(splash.LAB_CLOSE->isVisibleTo(&splash));
    EXPECT_EQ(splash.LAB_loading->text(), "程序初始化...");
    EXPECT_EQ(splash.LAB_caption->text(), "Kivamo flash播放器 V0.9.3.12 Beta");
    EXPECT_EQ(splash.LAB_plugVer->text(), "插件版本号：");
    EXPECT_EQ(splash.size(), QSize(501, 262));
    EXPECT_EQ(splash.windowTitle(), "关于");
    auto* about = new TFabout(true);
    EXPECT_FALSE(about->LAB_loading->isVisibleTo(about));
    EXPECT_TRUE(about->LAB_CLOSE->isVisibleTo(about));
    about->show();
    QPointer<TFabout> guard(about);
    about->LAB_CLOSEClick();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(guard.isNull());  // closing destroys it
}

TEST_F(MainFormTest, RefusedSettingsWriteIsReportedAndTheWindowStillCloses)
{
    auto form = create();
    ASSERT_TRUE(QDir(dir.path()).mkdir("main.ini"));  // a folder where the file should go
    prompts.expectMessage("Kivamo", {}, PromptIcon::Error);
    form->show();
    form->close();
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(prompts.done());
    ASSERT_EQ(prompts.messages().size(), 1u);
    EXPECT_TRUE(prompts.messages().front().text.startsWith("Unable to write to")) << prompts.messages().front().text.toStdString();
}
