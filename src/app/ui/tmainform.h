// The main window Tmainform: menu toolbar, toolbar with its overflow menu, play-list panel, movie
// area, status bar and the two control bars, with the layout switches, the main menu and start-up.
#pragma once

#include "core/appcommands.h"
#include "core/settings.h"
#include "core/startupoperations.h"
#include "player/playerview.h"
#include "playlist/listcontext.h"

#include <QAction>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QSlider>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <QWidget>

#include <functional>
#include <memory>
#include <utility>
#include <vector>

class QHelpEvent;
class TFabout;
class TfURL;
class Tfsearchrec;

namespace kivamo {
class FileManager;
class KeyHook;
class PlayListModel;
class PictureButton;
class Prompts;
class StateSymbolLabel;
struct AssociationEnvironment;

// What the composition root hands to the main window.
struct MainFormServices {
    StartupOperations* operations = nullptr;
    CommandHandler* commands = nullptr;
    Prompts* prompts = nullptr;
    // The play-list commands' context, for the list windows and list keys; empty in tests that
    // build the window without a play list.
    std::function<ListContext()> listContext;
    QString programDirectory;       // with a trailing separator
    bool programOnOpticalOrReadOnly = false;
    const AssociationEnvironment* associations = nullptr;  // none: the un-assign window stays shut
    FileManager* fileManager = nullptr;  // none: "在浏览器中打开" shows nothing
    QString cacheHome;                   // where the browser-cache search looks; empty: nowhere
};
}  // namespace kivamo

class Tmainform : public QWidget, public kivamo::PlayerDisplay, public kivamo::PlayerView {
    Q_OBJECT
public:
    explicit Tmainform(const kivamo::MainFormServices& services, QWidget* parent = nullptr);
    ~Tmainform() override;

    // Creation after construction: reset, folders, caption, splash end, key hook, settings, window
    // restore, associations, command line. `hookTarget` receives the key hook (the application).
    void FormCreate(const QStringList& arguments, TFabout* splash, QObject* hookTarget);
    void FormShow();
    // The hand-off message of a later start; runtimeFile is the hand-off file it wrote.
    void handOffReceived(const QString& runtimeFile);

    void showNotLoaded() override;
    // PlayerView: what the playback controller shows (mainformplayer.cpp).
    void showTransportLook(const kivamo::TransportLook& look) override;
    void setStateGlyph(const QString& glyph) override;
    void setPositionText(const QString& text) override;
    void setStateText(const QString& text) override;
    void setTitleItemCaption(const QString& text) override;
    void setWindowCaption(const QString& text) override;
    void setQualityImageIndex(int index) override;
    void setSlidersEnabled(bool enabled) override;
    void setSliderMaximum(int maximum) override;
    void setSliderValue(int value) override;
    void setTimerEnabled(kivamo::PlayerTimer timer, bool enabled) override;
    void scrollToEntry(int index) override;
    kivamo::WindowPanels windowPanels() const override;
    void showFullScreen() override;
    void showWindowed(const kivamo::WindowedLayout& layout) override;

    void placeMovieControl(QWidget* control);  // over the movie area in place of the logo, focused
    void lv_listview1DblClick(int row);  // double click or Enter plays the entry
    // The list's own commands (mainformlist.cpp): add a web address, add a directory with the
    // progress window, and the keys of the list view. True when the key ran a command.
    void MNI_mInsertURLClick(), MNI_d2Click(), fillHistoryMenu(), PM_cuslistPopup(),
        lv_listview1DragDrop(const QStringList& names);
    void lv_listview1DragOver(const QPoint& at), lv_listview1DragDrop(const QPoint& at);  // rows moved in the list
    bool lv_listview1KeyDown(int key, Qt::KeyboardModifiers modifiers);
    TfURL* urlDialog() const;
    Tfsearchrec* searchWindow() const { return m_searchrec; }
    // Go to frame (TB_8, MNI_mgoto): the dialog over the loaded movie's control.
    void MNI_mgotoClick();
    // The three player timers, ticking into the controller.
    QTimer TMR_PLAY, TMR_flash, TMR_flashclose;
    void TMR_PLAYTimer(), TMR_flashTimer(), TMR_flashcloseTimer();
    // Dialogs of the window (mainformdialogs.cpp): options with reload, snapshots, printing.
    void N11Click(), TB_picClick(), MNI_contpicClick(), MNI_printClick(), MNI_unsetassignClick();
    // Movie details (TFfdetail) of the loaded movie, or else of the first selected entry.
    void TB_detailClick();
    // The list menus' commands (mainformlistmenus.cpp); the twins of the list panel's menus share them.
    void MNI_playClick(), MNI_SelAllClick(), MNI_DelSelClick(), MNI_fdelClick(), MNI_ddelClick();
    void MNI_rcopytoClick(), MNI_rrcopytoClick(), MNI_openInEXPClick(), MNI_mCaptionClick();
    void MNI_changepathClick(), MNI_srcIEClick();
    void PM_ListViewPopup(QMenu* menu);  // enables the items of a list menu as it opens
    // Shows the play list's model in lv_listview1; titles() gives the list title and the state text,
    // shown again whenever the model says they changed.
    void showPlayList(kivamo::PlayListModel* model, std::function<std::pair<QString, QString>()> titles);
    const kivamo::Settings& startupSettings() const { return m_settings; }
    kivamo::KeyHook* keyHook() const { return m_keyHook.get(); }

    // Layout switches and rules.
    void SB_LButtonClick(), MNI_hideToolbarClick(), MNI_viewtextClick(), MNI_hidetextClick();
    void MNI_wanzhengClick(), MNI_jingjianClick(), MNI_N10Click(), MNI_miniClick(), MNI_MOnTopClick();
    void ToolBarResize(), spl_splitter1Paint(), pnl_statebarResize(), TT_PlayControlResize(), pnl_mainResize();
    // Menus opening, loop entry, exit, about.
    void F1Click(), N1Click(), V1Click(), T1Click(), MNI_mloopClick(), X1Click(), A2Click();
    // Status line.
    void AE_1Hint(const QString& hint);
    void AE_1ShowHint();
    void pnl_flashMouseMove();
    void IMG1MouseMove();

    // Regions and controls, under their given names.
    QWidget *pnl_1, *TT_menu, *pnl_TOOLBAR, *ToolBar, *pnl_list, *pnl_listview, *TT_LToolbar1;
    QWidget *spl_splitter1, *pnl_main, *pnl_flash, *pnl_4, *pnl_buttom, *pnl_statebar;
    QWidget *TT_PlayControl, *pnl_Panel, *pnl_CtrlPanel, *pnl_splaycontrol, *TT_1, *pnl_3;
    QFrame *pnl_button, *bvl_1, *bvl_2, *bvl_3;
    QLabel *LAB_listtitle, *IMG1, *LAB_hint, *LAB_state, *LAB_play;
    kivamo::StateSymbolLabel* LAB_s;
    QTableView* lv_listview1;
    QToolButton *SB_LButton, *B_toolbarmenu, *SB_min, *btn_CBOnTop, *SB_mmin, *btn_CBOnTop2;
    QToolButton *TB_viewlist, *TB_zoomout, *TB_zoomin, *TB_quality, *TB_allscreen, *TB_bgcolor, *TB_detail;
    QToolButton *TB_pic, *TB_print, *TB_option1, *TB_update, *TB_showocx, *TB_help;
    QToolButton *TB_play, *TB_2, *TB_3, *TB_4, *TB_5, *TB_6, *TB_7, *TB_8, *TB_9, *TB_10, *TB_11;
    kivamo::PictureButton *B_bplay, *B_Bpause, *B_Bstop, *B_Bprev, *B_Bfprev, *B_BprevZ, *B_Brewind;
    kivamo::PictureButton *B_Baddfile, *B_BnextZ, *B_Bfnext, *B_Bnext;
    QSlider *SL_MainTrackBar, *SL_MainTrackBar2;
    QMenu *PM_ListView, *PM_ToolBar, *PM_1, *PM_2, *PM_TOOLBAR2, *PM_zoom, *PM_pmquality, *PM_pic;
    QMenu *F1, *N1, *V1, *T1, *H1;
    QMenu* PM_flashmenu = nullptr;  // the movie's right-click menu, handlers in mainformflashmenu.cpp
    void PM_flashmenuPopup(), MNI_listClick(), MNI_rqClick(), PM_pmqualityPopup(), PM_zoomPopup(), MNI_rloopClick(),
        MNI_ALLClick(), pnl_4MouseMove();
    // Every menu entry by its given name (MNI_mplay, N58, …).
    QAction* menuAction(const QString& name) const;
    QTimer TMR_hintReshow;

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void buildRegions();
    void buildToolbar();
    void buildListPanel();
    void buildMovieArea();
    void buildStatusBar();
    void buildPlayControl();
    void buildCompactControl();
    void buildPopupMenus();
    void buildMainMenu();
    void connectHandlers();
    void connectPlayer(), connectList(), connectListMenus();
    void followListSelection();
    QTimer& playerTimer(kivamo::PlayerTimer timer);
    bool movieMouseEvent(QEvent* event);  // the movie window filter; true when consumed
    void lv_listview1MouseMove(const QHelpEvent* event);
    void buildFlashMenu(), connectFlashMenu(), openMovieMenu(const QPoint& at), hideControlBarOverMovie();
    void restoreWindow();
    void setToolbarCaptions(bool shown);
    void placeListHandle();
    void applyOnTop(bool on);
    QToolButton* toolbarButton(const char* name, const QString& caption, const QString& hint, int picture);
    QToolButton* compactButton(const char* name, const QString& hint, int picture);
    kivamo::PictureButton* controlButton(const char* name, const QString& hint, int glyph, QRect geometry);
    void bindCommand(QObject* sender, kivamo::Command command);
    void bindMenuCommand(const char* name, kivamo::Command command);
    void FormClose();

    kivamo::MainFormServices m_services;
    kivamo::Settings m_settings;
    std::unique_ptr<kivamo::KeyHook> m_keyHook;
    std::vector<QToolButton*> m_toolbarButtons;
    std::vector<QWidget*> m_toolbarControls;  // buttons and group separators, left to right
    QWidget* m_hintReshowWidget = nullptr;
    QRect m_windowedBounds;  // the bounds before full screen
    bool m_controlBarOverMovie = false;  // pnl_buttom lies over the movie in full screen
    QPointer<TfURL> m_urlDialog;
    Tfsearchrec* m_searchrec = nullptr;  // lives as long as the window
};
