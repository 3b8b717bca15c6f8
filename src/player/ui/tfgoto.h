// The dialog Tfgoto (跳到指定帧): jumps the control to a typed frame, counted from 1; the movie plays
// on however the dialog closes.
#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace kivamo {
class FlashControl;
}

class Tfgoto : public QDialog {
    Q_OBJECT
public:
    // The opening command stops the control first; the dialog deletes itself when closed.
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

    kivamo::FlashControl& m_control;
    bool m_closed = false;
};
