// The window Tfsearchrec (正在添加文件，请稍等...): the progress of a directory walk, whose closing
// stops the walk.
#pragma once

#include "playlist/addmovies.h"

#include <QWidget>

#include <functional>

class QFrame;
class QLabel;
class QProgressBar;
class QToolButton;

class Tfsearchrec : public QWidget, public kivamo::WalkProgressView {
    Q_OBJECT
public:
    explicit Tfsearchrec(QWidget* parent = nullptr);

    // What closing the window does to the walks that report here (the directory walk and the
    // browser-cache walk): the window lives for the program, the walkers are handed in once both exist.
    void setCancel(std::function<void()> cancel) { m_cancel = std::move(cancel); }
    // The add continue flag as the window sees it: set while a walk runs, cleared when the walk
    // ends or the window closes.
    bool addContinue() const { return m_addContinue; }

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

    std::function<void()> m_cancel;
    bool m_addContinue = false;
};
