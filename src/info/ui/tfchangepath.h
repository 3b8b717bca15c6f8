// The dialog TFchangepath (更改路径): points a play-list entry at another movie file.
#pragma once

#include "info/fileoperations.h"

#include <QDialog>

#include <functional>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace kivamo {
class PlayList;
class Prompts;
}

class TFchangepath : public QDialog {
    Q_OBJECT
public:
    using PathSetter = std::function<void(const QString&)>;

    // setCurrentMoviePath follows a changed path of the loaded movie. The dialog deletes itself
    // when closed.
    TFchangepath(kivamo::PlayList& list, kivamo::Prompts& prompts, int targetIndex, int currentIndex,
                 PathSetter setCurrentMoviePath, QWidget* parent = nullptr);

    QGroupBox* grp_1;
    QLabel* LAB_1;
    QLabel* LAB_caption;
    QLineEdit* LABEDT_filepath;
    QLabel* LABEDT_filepathLabel;
    QToolButton* B_browser;
    QLabel* lbl_FileState;
    QPushButton* Button1;
    QPushButton* Button2;

    void FormShow();
    void B_browserClick();
    void Button1Click();
    void Button2Click();

private:
    void connectHandlers();
    void showView();

    kivamo::PlayList& m_list;
    kivamo::Prompts& m_prompts;
    int m_targetIndex;
    int m_currentIndex;
    PathSetter m_setCurrentMoviePath;
    kivamo::ChangePathView m_view;
};
