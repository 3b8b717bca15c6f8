// The window Tfsearchrec (正在添加文件，请稍等...): the progress of a directory walk, whose closing
// stops the walk.
#pragma once

#include "playlist/addmovies.h"

#include <QWidget>

class QFrame;
class QLabel;
class QProgressBar;
class QToolButton;

class Tfsearchrec : public QWidget, public kivamo::WalkProgressView {
    Q_OBJECT
public:
    explicit Tfsearchrec(QWidget* parent = nullptr);

    // The walk this window reports on and cancels; the window lives for the program, the adder
    // is handed in once both exist.
    void setAdder(kivamo::DirectoryAdder* adder) { m_adder = adder; }

    QFrame* pnl_1;
    QLabel* LAB_1;
    QLabel* LAB_2;
    QProgressBar* PROB_1;
    QToolButton* SB_cancel;

    void SB_cancelClick();
    void FormClose();
    void FormMouseMove();

    void showWindow() override;
    void showStatus(const kivamo::WalkStatus& status) override;
    void processEvents() override;
    void closeWindow() override;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void connectHandlers();

    kivamo::DirectoryAdder* m_adder = nullptr;
};
