// The layout switches, the toolbar overflow menu, the main menu's entries, enabling and ticks,
// the status line, and the accessible names of every control and entry.
#include "fixture.h"

#include "app/ui/artwork.h"
#include "app/ui/picturebutton.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QWindow>
#include <QLayout>
#include <QStatusTipEvent>

using namespace kivamo;
using namespace kivamo::test;

namespace {

QStringList overflowAt(Tmainform& form, int width)
{
    form.pnl_TOOLBAR->resize(width, 64);
    form.ToolBarResize();
    return form.B_toolbarmenu->isVisibleTo(&form) ? captions(form.PM_TOOLBAR2) : QStringList{"hidden"};
}

}  // namespace

TEST_F(MainFormTest, ToolbarOverflowAtItsEdges)
{
    auto form = create();
    EXPECT_EQ(overflowAt(*form, 726), QStringList{"hidden"});
    EXPECT_EQ(overflowAt(*form, 688), QStringList{"hidden"});
    EXPECT_EQ(overflowAt(*form, 600), (QStringList{"插件", "帮助"}));
    EXPECT_EQ(overflowAt(*form, 420), (QStringList{"打印", "选项...", "-", "升级", "插件", "帮助"}));
    EXPECT_EQ(form->ToolBar->width(), 420);
    EXPECT_EQ(form->B_toolbarmenu->text(), ">>");
    form->PM_TOOLBAR2->actions().last()->trigger();
    EXPECT_EQ(commands.commands, std::vector<Command>{Command::Help});
    EXPECT_EQ(overflowAt(*form, 1000), QStringList{"hidden"});
    const QStringList all = overflowAt(*form, 30);
    EXPECT_EQ(all.size(), 16);
    EXPECT_EQ(all.mid(0, 3), (QStringList{"显示", "-", "放大"}));
    commands.commands.clear();
    form->PM_TOOLBAR2->actions().at(4)->trigger();  // 画质 has no click action
    EXPECT_TRUE(commands.commands.empty());
}

TEST_F(MainFormTest, ListPanelToggleMovesTheHandle)
{
    auto form = create();
    form->SB_LButtonClick();
    EXPECT_FALSE(form->pnl_list->isVisibleTo(form.get()));
    EXPECT_EQ(form->SB_LButton->text(), ">");
    EXPECT_EQ(form->SB_LButton->x(), 0);
    EXPECT_FALSE(form->TB_viewlist->isChecked());
    form->TB_viewlist->click();
    EXPECT_TRUE(form->pnl_list->isVisibleTo(form.get()));
    EXPECT_EQ(form->SB_LButton->text(), "<");
    EXPECT_EQ(form->SB_LButton->x(), form->lv_listview1->width());
    EXPECT_TRUE(form->TB_viewlist->isChecked());
    form->show();
    form->spl_splitter1Paint();
    EXPECT_EQ(form->SB_LButton->x(), form->spl_splitter1->mapTo(form->pnl_1, QPoint()).x());
    EXPECT_EQ(form->SB_LButton->y(), form->spl_splitter1->height() / 2 + 60);
    EXPECT_EQ(form->spl_splitter1->x(), form->pnl_list->width());
}

TEST_F(MainFormTest, CompactAndStandardLayoutsSetFourSwitches)
{
    auto form = create();
    form->MNI_hidetextClick();
    form->MNI_MOnTopClick();
    form->SB_mmin->click();
    const auto visible = [&](QWidget* w) { return w->isVisibleTo(form.get()); };
    EXPECT_FALSE(visible(form->pnl_list));
    EXPECT_FALSE(visible(form->pnl_TOOLBAR));
    EXPECT_FALSE(visible(form->TT_PlayControl));
    EXPECT_TRUE(visible(form->pnl_splaycontrol));
    EXPECT_TRUE(visible(form->TT_menu));
    EXPECT_TRUE(visible(form->pnl_statebar));
    EXPECT_EQ(form->SB_LButton->text(), ">");
    EXPECT_TRUE(form->btn_CBOnTop->isChecked());
    EXPECT_TRUE(form->btn_CBOnTop2->isChecked());
    EXPECT_TRUE(form->windowFlags() & Qt::WindowStaysOnTopHint);
    form->V1Click();
    EXPECT_FALSE(form->menuAction("MNI_mListShow")->isChecked());
    EXPECT_FALSE(form->menuAction("MNI_mhvtoolbar")->isChecked());
    EXPECT_FALSE(form->menuAction("MNI_wanzheng")->isChecked());
    EXPECT_TRUE(form->menuAction("MNI_jingjian")->isChecked());
    form->menuAction("MNI_N10")->trigger();
    EXPECT_TRUE(visible(form->pnl_list));
    EXPECT_TRUE(visible(form->pnl_TOOLBAR));
    EXPECT_TRUE(visible(form->TT_PlayControl));
    EXPECT_FALSE(visible(form->pnl_splaycontrol));
    EXPECT_TRUE(form->TB_viewlist->isChecked());
    EXPECT_EQ(form->SB_LButton->text(), "<");
    EXPECT_EQ(form->pnl_TOOLBAR->height(), 50);  // the caption mode stays
    EXPECT_TRUE(form->btn_CBOnTop->isChecked());
    form->menuAction("MNI_1")->trigger();
    EXPECT_TRUE(visible(form->pnl_splaycontrol));
    EXPECT_TRUE(visible(form->pnl_list));
    form->menuAction("MNI_N38")->trigger();
    EXPECT_TRUE(visible(form->TT_PlayControl));
    EXPECT_FALSE(visible(form->pnl_splaycontrol));
}

TEST_F(MainFormTest, BottomPanelHeightFollowsTheControlBar)
{
    auto form = create();
    form->show();
    form->layout()->activate();
    EXPECT_EQ(form->pnl_buttom->sizeHint().height(), 95);
    form->MNI_jingjianClick();
    EXPECT_EQ(form->pnl_buttom->sizeHint().height(), 41);
    form->TT_PlayControl->resize(700, 76);
    form->TT_PlayControlResize();
    EXPECT_EQ(form->pnl_CtrlPanel->width(), 625);
    EXPECT_EQ(form->SL_MainTrackBar->width(), 625);
    form->pnl_statebarResize();
    EXPECT_EQ(form->LAB_s->x(), form->LAB_play->x() + 1);
}

TEST_F(MainFormTest, OnTopTwiceReturnsToTheNormalBand)
{
    auto form = create();
    form->btn_CBOnTop->click();
    EXPECT_TRUE(form->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(form->btn_CBOnTop2->isChecked());
    form->btn_CBOnTop->click();
    EXPECT_FALSE(form->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_FALSE(form->btn_CBOnTop->isChecked());
    EXPECT_FALSE(form->btn_CBOnTop2->isChecked());
    EXPECT_FALSE(form->menuAction("MNI_MOnTop")->isChecked());
    form->menuAction("MNI_MOnTop")->trigger();
    EXPECT_TRUE(form->menuAction("MNI_MOnTop")->isChecked());
    EXPECT_TRUE(form->btn_CBOnTop->isChecked());
}

TEST_F(MainFormTest, ToolbarCaptionsSwitchPanelAndButtonHeights)
{
    auto form = create();
    form->menuAction("MNI_hidetext")->trigger();
    EXPECT_EQ(form->pnl_TOOLBAR->height(), 50);
    EXPECT_EQ(form->TB_help->height(), 40);
    EXPECT_EQ(form->TB_help->toolButtonStyle(), Qt::ToolButtonIconOnly);
    EXPECT_TRUE(form->menuAction("MNI_hidetext2")->isChecked());
    EXPECT_FALSE(form->menuAction("MNI_viewtext2")->isChecked());
    form->menuAction("MNI_viewtext2")->trigger();
    EXPECT_EQ(form->pnl_TOOLBAR->height(), 64);
    EXPECT_EQ(form->TB_help->height(), 59);
    EXPECT_TRUE(form->menuAction("MNI_viewtext")->isChecked());
    EXPECT_FALSE(form->menuAction("MNI_hidetext")->isChecked());
    form->menuAction("MNI_hideToolbar")->trigger();
    EXPECT_FALSE(form->pnl_TOOLBAR->isVisibleTo(form.get()));
    form->menuAction("MNI_mhvtoolbar")->trigger();
    EXPECT_TRUE(form->pnl_TOOLBAR->isVisibleTo(form.get()));
}

TEST_F(MainFormTest, MainMenuEntriesAndSeparators)
{
    auto form = create();
    EXPECT_EQ(captions(form->F1), (QStringList{"添加文件(&I)", "添加网络Flash", "添加目录", "最近打开的文件", "-",
                                               "新建列表(&N)", "载入列表(&O)", "保存列表(&S)", "-", "打印(&P)...",
                                               "当前影片信息...", "-", "退出(&X)"}));
    EXPECT_EQ(captions(form->N1), (QStringList{"播放(&P)\tCtrl+P", "暂停(&S)\tCtrl+O", "停止", "重播(&R)\tCtrl+R",
                                               "跳到指定帧...", "快退", "快进", "前一帧", "后一帧", "-",
                                               "上一个(&E)\tCtrl+E", "下一个(&N)\tCtrl+N", "-", "循环播放"}));
    EXPECT_EQ(captions(form->V1).size(), 16);
    EXPECT_EQ(captions(form->V1).at(14), "全屏播放\tCtrl+F");
    EXPECT_EQ(captions(form->T1), (QStringList{"SWF文件关联", "-", "单张快照", "连续快照...", "检查升级", "-", "选项(&O)..."}));
    EXPECT_EQ(captions(form->H1), (QStringList{"帮助主题(&T)\tF1", "关于(&A)...", "-", "插件信息..."}));
    // Shortcut texts bind no key: the key hook is the one place keys act.
    for (QMenu* menu : {form->F1, form->N1, form->V1, form->T1, form->H1}) {
        for (QAction* action : menu->actions())
            EXPECT_TRUE(action->shortcut().isEmpty()) << action->objectName().toStdString();
    }
    EXPECT_EQ(form->menuAction("MNI_mpause")->statusTip(), "停止播放");
    EXPECT_EQ(form->menuAction("N9")->statusTip(), "检查最新版本");
}

TEST_F(MainFormTest, MenusEnableFromTheLoadedFlagWhenOpened)
{
    auto form = create();
    form->N1Click();
    for (QAction* action : form->N1->actions())
        EXPECT_EQ(action->isEnabled(), action->isSeparator()) << action->text().toStdString();
    form->F1Click();
    form->T1Click();
    for (const char* name : {"MNI_print", "MNI_mnowdetail", "MNI_mpic", "MNI_mcontpic"})
        EXPECT_FALSE(form->menuAction(name)->isEnabled()) << name;
    commands.flags.movieLoaded = true;
    commands.flags.scalingAllowed = false;
    form->N1Click();
    form->V1Click();
    EXPECT_TRUE(form->menuAction("MNI_mpre")->isEnabled());
    EXPECT_TRUE(form->menuAction("MNI_mnext")->isEnabled());
    for (const char* name : {"MNI_mzoomout", "MNI_mzoomin", "MNI_minisize", "MNI_mshowall"})
        EXPECT_FALSE(form->menuAction(name)->isEnabled()) << name;
    EXPECT_TRUE(form->menuAction("MNI_mq")->isEnabled());
    EXPECT_TRUE(form->menuAction("MNI_allscreen")->isEnabled());
    commands.flags.scalingAllowed = true;
    form->V1Click();
    EXPECT_TRUE(form->menuAction("MNI_mzoomout")->isEnabled());
    EXPECT_FALSE(form->menuAction("MNI_mzoomin")->isEnabled());
    commands.flags.zoomed = true;
    form->V1Click();
    EXPECT_TRUE(form->menuAction("MNI_mzoomin")->isEnabled());
}

TEST_F(MainFormTest, LoopEntryTogglesAndReachesThePlayer)
{
    auto form = create();
    QAction* loop = form->menuAction("MNI_mloop");
    EXPECT_TRUE(loop->isChecked());
    loop->trigger();
    EXPECT_FALSE(loop->isChecked());
    loop->trigger();
    EXPECT_EQ(commands.loops, (std::vector<bool>{false, true}));
}

TEST_F(MainFormTest, StatusLineShowsHints)
{
    auto form = create();
    QStatusTipEvent tip("a\r\nb");
    QCoreApplication::sendEvent(form->TB_help, &tip);
    EXPECT_EQ(form->LAB_hint->text(), " a   b");
    form->AE_1Hint("");
    EXPECT_EQ(form->LAB_hint->text(), " ");
    form->pnl_flashMouseMove();
    EXPECT_EQ(form->LAB_hint->text(), " ");  // nothing loaded: unchanged
    commands.flags.movieLoaded = true;
    commands.flags.currentMoviePath = "/m/影片.swf";
    form->pnl_flashMouseMove();
    EXPECT_EQ(form->LAB_hint->text(), "/m/影片.swf");
    form->IMG1MouseMove();
    EXPECT_EQ(form->LAB_hint->text(), "就绪");
    form->TB_play->setToolTip("暂停播放");
    EXPECT_TRUE(form->TMR_hintReshow.isActive());
    EXPECT_EQ(form->TMR_hintReshow.interval(), 200);
    form->AE_1ShowHint();  // no tooltip showing: nothing to redraw
}

TEST_F(MainFormTest, ControlsDispatchTheirCommandsOnce)
{
    auto form = create();
    form->B_bplay->click();
    form->TB_11->click();
    form->menuAction("MNI_mrewind")->trigger();
    form->TB_help->click();
    form->menuAction("H2")->trigger();
    EXPECT_EQ(commands.commands, (std::vector<Command>{Command::Play, Command::NextEntry, Command::Rewind,
                                                       Command::Help, Command::Help}));
}

TEST_F(MainFormTest, EveryControlAndEntryIsNamedForScreenReaders)
{
    auto form = create();
    int controls = 0;
    for (QWidget* widget : form->findChildren<QWidget*>()) {
        const QString name = widget->objectName();
        if (name.isEmpty() || qobject_cast<QMenu*>(widget) || name.startsWith("qt_"))
            continue;
        ++controls;
        // Text labels are read by their live text; every other control by its name.
        const auto* label = qobject_cast<QLabel*>(widget);
        const bool readable = !widget->accessibleName().isEmpty() || (label && !label->text().isEmpty());
        EXPECT_TRUE(readable) << name.toStdString();
        if (!widget->statusTip().isEmpty()) {
            EXPECT_EQ(widget->accessibleDescription(), widget->statusTip()) << name.toStdString();
        }
    }
    EXPECT_GT(controls, 80);
    for (QMenu* menu : form->findChildren<QMenu*>()) {
        for (QAction* action : menu->actions()) {
            if (!action->isSeparator()) {
                EXPECT_FALSE(action->text().isEmpty()) << action->objectName().toStdString();
                EXPECT_EQ(action->whatsThis(), action->statusTip()) << action->objectName().toStdString();
            }
        }
    }
    EXPECT_EQ(form->B_Bfprev->accessibleName(), "快退(ctrl + ←)");
    EXPECT_EQ(form->TB_print->accessibleDescription(), "打印");
    EXPECT_EQ(form->LAB_s->accessibleName(), "未载入");
    EXPECT_TRUE(form->LAB_hint->accessibleName().isEmpty());
    EXPECT_EQ(form->menuAction("MNI_mplay")->statusTip(), "播放");
}

TEST_F(MainFormTest, KeyHookOnTheApplicationRunsEachKeyOnce)
{
    MainFormServices services;
    services.operations = &operations;
    services.commands = &commands;
    services.prompts = &prompts;
    services.programDirectory = dir.path() + QLatin1Char('/');
    Tmainform form(services);
    form.FormCreate({}, nullptr, QCoreApplication::instance());
    form.show();
    form.TB_help->setFocus();
    QWindow* window = form.windowHandle();
    ASSERT_NE(window, nullptr);
    const auto key = [window](QEvent::Type type, int code, Qt::KeyboardModifiers modifiers) {
        QKeyEvent event(type, code, modifiers);
        QCoreApplication::sendEvent(window, &event);
    };
    key(QEvent::KeyPress, Qt::Key_Control, Qt::ControlModifier);
    key(QEvent::KeyPress, Qt::Key_P, Qt::ControlModifier);
    key(QEvent::KeyRelease, Qt::Key_P, Qt::ControlModifier);
    key(QEvent::KeyRelease, Qt::Key_Control, Qt::NoModifier);
    key(QEvent::KeyPress, Qt::Key_P, Qt::NoModifier);
    key(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
    EXPECT_EQ(commands.commands, (std::vector<Command>{Command::Play, Command::Help}));
}

TEST(Fonts, WindowsFontNamesFallBackToTheInstalledCjkFonts)
{
    installFontSubstitutes();
    for (const char* name : {"宋体", "楷体_GB2312", "Microsoft Sans Serif"}) {
        EXPECT_EQ(QFont::substitutes(QString::fromUtf8(name)).size(), fontSubstitutes().size()) << name;
        QFont font(QString::fromUtf8(name));
        font.setPixelSize(12);
        // Every character of the window's texts must have a glyph: 播放列表 and the ideographic space.
        const QFontMetrics metrics(font);
        for (const QChar c : QStringLiteral("播放列表：新建　未载入"))
            EXPECT_TRUE(metrics.inFontUcs4(c.unicode())) << name << " U+" << std::hex << c.unicode();
    }
}
