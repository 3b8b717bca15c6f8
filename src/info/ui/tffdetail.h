// The dialog TFfdetail (影片信息): the file, header and playback facts of one play-list entry, and its
// notes, which "确定" stores in the entry and the sidecar file.
#pragma once

#include "info/moviedetails.h"

#include <QDialog>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace kivamo {
class PlayList;
class Prompts;
}

class TFfdetail : public QDialog {
    Q_OBJECT
public:
    // player describes the control and the loaded movie now; the dialog deletes itself when closed.
    TFfdetail(kivamo::PlayList& list, kivamo::Prompts& prompts, int targetIndex, int currentIndex,
              const kivamo::NowPlayingInputs& player, QWidget* parent = nullptr);

    QLineEdit* EDT_path;
    QGroupBox* grp_1;
    QLabel* LAB_FileSize;
    QLabel* LAB_FileCDate;
    QLabel* LAB_fileRDate;
    QLabel* LAB_FileMDate;
    QGroupBox* grp_2;
    QLabel* LAB_yasuo;
    QLabel* LAB_Version;
    QLabel* LAB_height;
    QLabel* LAB_width;
    QLabel* LAB_zhenlv;
    QLabel* LAB_zhenshu;
    QGroupBox* grp_now;
    QLabel* LAB_nowstate;
    QLabel* LAB_nowlist;
    QLabel* LAB_q;
    QGroupBox* grp_3;
    QLineEdit* LABEDT_author;
    QLabel* LABEDT_authorLabel;
    QLineEdit* LABEDT_place;
    QLabel* LABEDT_placeLabel;
    QComboBox* cbb_type;
    QLabel* LAB_3;
    QPushButton* Button1;
    QPushButton* Button2;

    void FormShow();
    void Button1Click();
    void Button2Click();

private:
    void buildFacts();
    void buildNotes();
    void connectHandlers();
    void showLabels(const kivamo::DetailLabels& labels);

    kivamo::PlayList& m_list;
    kivamo::Prompts& m_prompts;
    int m_targetIndex;
    int m_currentIndex;
    kivamo::NowPlayingInputs m_player;
};
