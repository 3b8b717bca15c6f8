// The dialog Tfgoto (跳到指定帧): jumps the control to a typed frame, counted from 1; the movie plays
// on however the dialog closes.
#pragma once

#include <QDialog>

#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace kivamo {
class FlashControl;
}

class Tfgoto : public QDialog {
    Q_OBJECT
public:
    // The control of the moment, or nullptr once the player has dropped it (timers keep running
    // while the dialog is open, and the player may replace its control meanwhile).
    using ControlSource = std::function<kivamo::FlashControl*()>;

    // The opening command stops the control first; the dialog deletes itself when closed.
    Tfgoto(ControlSource control, QWidget* parent = nullptr);
    // For a control that outlives the dialog.
    Tfgoto(kivamo::FlashControl& control, QWidget* parent = nullptr);

    QLabel* LAB_tF;
    QLabel* LAB_Nf;
    QLabel* LAB_1;
    QLineEdit* edt_f;
    QLabel* LAB_2;
    QPushButton* Button1;
    QPushButton* Button2;

    void FormShow();
    // False when the typed character is refused.
    bool edt_fKeyPress(QChar typed);
    void edt_fChange();
    void Button1Click();
    void Button2Click();
    void FormClose();

    void done(int result) override;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void connectHandlers();

    ControlSource m_control;
    bool m_closed = false;
};
