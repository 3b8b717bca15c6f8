// The continuous-snapshot dialog Tfpic (连续快照): a thin window over dialogs/continuoussnapshot.h
// that shrinks to a progress strip at the top of the screen while a run is going.
#pragma once

#include "dialogs/continuoussnapshot.h"

#include <QDialog>
#include <QPointer>
#include <QTimer>

#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSlider;

class Tfpic : public QDialog {
    Q_OBJECT
public:
    Tfpic(kivamo::SnapshotServices services, kivamo::ContinuousSource source, QString programDirectory,
          QWidget* parent = nullptr);

    QWidget* pnl_1;
    QWidget* pnl_2;
    QLabel* LAB_1;
    QLineEdit* edt_path;
    QPushButton* b_broswer;
    QLabel* LAB_pathstate;
    QCheckBox* chk_autocreat;
    QLabel* LAB_2;
    QRadioButton* rb_gif;
    QRadioButton* rb_jpg;
    QLabel* LAB_3;
    QSlider* TRB_times;
    QLabel* LAB_times;
    QLabel* LAB_5;
    QLabel* LAB_6;
    QCheckBox* chk_save;
    QPushButton* b_start;
    QPushButton* B_stop;
    QPushButton* B_close;
    QLabel* LAB_4;
    QLabel* LAB_path;
    QLabel* LAB_7;
    QLabel* LAB_count;
    QPushButton* B_stop2;
    QTimer TMR_pic;

    const kivamo::ContinuousSnapshot& logic() const { return m_logic; }

    // The handlers, public so that tests drive them as the events would.
    void edt_pathChange();
    void b_broswerClick();
    void TRB_timesChange(int position);
    void b_startClick();
    void TMR_picTimer();
    void B_stopClick();
    void B_closeClick();
    // Esc: the "关闭" button, refused like any close while a run is going.
    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void buildControls();
    void connectControls();
    void readFields();
    void showFields();
    void showProgress();
    void setRunningView(bool running);

    kivamo::QtSnapshotTimer m_timerAdapter;
    kivamo::ContinuousSnapshot m_logic;
    kivamo::Prompts* m_prompts;
};

// `MNI_contpicClick`: shows the open dialog again, or makes one with create and shows it without
// modality; the pointer clears itself when the dialog closes, so the next opening reads [contpic] again.
Tfpic* openContinuousSnapshot(QPointer<Tfpic>& open, const std::function<Tfpic*()>& create);
