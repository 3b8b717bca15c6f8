// The options dialog Tfoption (选项设置): four pages chosen from a tree, over the logic in
// dialogs/options.h; "确定" stores and applies the settings, "取消" forgets the edits.
#pragma once

#include "dialogs/options.h"

#include <QDialog>

#include <utility>
#include <vector>

class QAbstractButton;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSlider;
class QStackedWidget;
class QTreeWidget;

class Tfoption : public QDialog {
    Q_OBJECT
public:
    // onTop: the tick of the main window's on-top item; isOptical tells optical or read-only folders.
    Tfoption(kivamo::OptionsServices services, bool onTop, kivamo::OpticalProbe isOptical = {},
             QWidget* parent = nullptr);

    QTreeWidget* TV_1;
    QStackedWidget* pgc_1;
    QWidget* ts_1;
    QWidget* ts_2;
    QWidget* ts_3;
    QWidget* ts_4;
    QWidget* ts_5;
    QPushButton* Button2;
    QPushButton* Button3;
    // 常规设置
    QGroupBox* GroupBox1;
    QCheckBox* chk_getnew;
    QCheckBox* chk_newswversion;
    QCheckBox* chk_newflversion;
    QCheckBox* chk_history;
    QPushButton* Button1;
    QCheckBox* chk_command;
    QCheckBox* chk_pupflashmenu;
    QCheckBox* chk_banquan;
    // 播放设置
    QGroupBox* GroupBox2;
    QCheckBox* chk_autoplay;
    QRadioButton* rb_listtop;
    QRadioButton* rb_latest;
    QCheckBox* chk_pingbao;
    QCheckBox* chk_ontop;
    QLabel* LAB_1;
    QSlider* TRB_Step;
    QLabel* LAB_2;
    QCheckBox* chk_autocontinue;
    QCheckBox* chk_dclick;
    QGroupBox* GroupBox3;
    QRadioButton* rb_showall;
    QRadioButton* rb_noscale;
    QGroupBox* GroupBox4;
    QRadioButton* rb_newlist;
    QRadioButton* rb_behind;
    // 截图设置
    QGroupBox* GroupBox5;
    QRadioButton* rb_custom;
    QRadioButton* rb_def;
    QLineEdit* edt_path;
    QPushButton* B_browse;
    QLabel* LAB_state;
    QLabel* LAB_PathState;
    QGroupBox* GroupBox6;
    QRadioButton* rb_bmp;
    QRadioButton* rb_gif;
    QRadioButton* rb_jpg;
    // FSCOMMAND设置
    QGroupBox* GroupBox7;
    QCheckBox* chk_fscommand;
    QCheckBox* chk_exec;

    void FormCreate();
    void FormShow();
    void TV_1Click();
    void chk_getnewClick();
    void chk_newswversionClick();
    void chk_autoplayClick();
    void chk_fscommandClick();
    void rb_defClick();
    void edt_pathChange();
    void B_browseClick();
    void TRB_StepChange();
    void Button1Click();
    void Button2Click();
    void Button3Click();

    const kivamo::OptionsDialog& logic() const { return m_logic; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildTree();
    void buildGeneralPage();
    void buildPlayPage();
    void buildSnapshotPage();
    void buildFscommandPage();
    void connectHandlers();
    // The widgets' ticks into the logic, and the logic's state back onto the widgets.
    void readControls();
    // Each check box and radio button with the state it shows.
    std::vector<std::pair<QAbstractButton*, kivamo::OptionBox*>> boxTable(kivamo::OptionsControls& controls);
    void showControls();

    kivamo::OptionsServices m_services;
    bool m_onTop;
    kivamo::OpticalProbe m_isOptical;
    kivamo::OptionsDialog m_logic;
};
