// The dialog TFmCaption (更改标题): changes the title of a play-list entry and, when asked, renames
// its movie file to match.
#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace kivamo {
class PlayList;
class Prompts;
}

class TFmCaption : public QDialog {
    Q_OBJECT
public:
    // The dialog deletes itself when closed.
    TFmCaption(kivamo::PlayList& list, kivamo::Prompts& prompts, int targetIndex, QWidget* parent = nullptr);

    QLabel* LAB_1;
    QLineEdit* EDT_caption;
    QCheckBox* chk_rename;
    QPushButton* Button1;
    QPushButton* Button2;

    void FormShow();
    void Button1Click();
    void Button2Click();

private:
    void connectHandlers();

    kivamo::PlayList& m_list;
    kivamo::Prompts& m_prompts;
    int m_targetIndex;
};
