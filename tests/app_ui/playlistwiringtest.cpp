// The main window over the real play list: start-up and hand-off add movies to it, the list view
// shows its model, and the title labels follow it.
#include "app/ui/tmainform.h"
#include "platform/inifile.h"
#include "wired.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace kivamo;
using test::Wired;

TEST(PlayListWiring, StartAndHandOffFillTheListShownInTheWindow)
{
    QTemporaryDir dir;
    for (const char* name : {"a.swf", "b.swf"})
        QFile(dir.filePath(name)).open(QIODevice::WriteOnly);
    Wired wired(dir.path() + "/");
    wired.form->FormCreate({dir.filePath("a.swf")}, nullptr, nullptr);
    ASSERT_EQ(wired.list.count(), 1);
    EXPECT_EQ(wired.form->lv_listview1->model()->rowCount(), 1);
    EXPECT_EQ(wired.form->LAB_listtitle->text(), wired.list.titleText());
    EXPECT_TRUE(wired.form->LAB_listtitle->text().startsWith("播放列表："));
    EXPECT_EQ(wired.form->LAB_state->text(), "a");  // a movie given on the command line plays
    EXPECT_TRUE(wired.operations.movieLoaded());

    QFile runtime(dir.filePath("runtime.dat"));
    ASSERT_TRUE(runtime.open(QIODevice::WriteOnly));
    runtime.write("1\r\n" + dir.filePath("b.swf").toUtf8() + " \r\n");
    runtime.close();
    wired.form->handOffReceived(runtime.fileName());  // newlist is on: b.swf replaces the list
    ASSERT_EQ(wired.list.count(), 1);
    EXPECT_TRUE(wired.list.at(0).path.endsWith("b.swf"));

    wired.form->close();
    const IniFile ini = IniFile::load(dir.filePath("main.ini"));
    EXPECT_EQ(ini.readInteger("play", "lastindex", -1), 0);  // b.swf was playing
}

TEST(PlayListWiring, NewListCommandEmptiesTheList)
{
    QTemporaryDir dir;
    QFile(dir.filePath("a.swf")).open(QIODevice::WriteOnly);
    Wired wired(dir.path() + "/");
    wired.form->FormCreate({dir.filePath("a.swf")}, nullptr, nullptr);
    wired.form->menuAction("N58")->trigger();
    EXPECT_EQ(wired.list.count(), 0);
    EXPECT_EQ(wired.form->LAB_listtitle->text(), wired.list.titleText());
    EXPECT_EQ(wired.form->windowTitle(), "未载入 - Kivamo flash播放器 V0.9.3.12 Beta");
}
