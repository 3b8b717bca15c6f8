// The dialog TFCustomList (自定义播放列表): edits the custom lists of "list.cfg" over
// CustomListEditor; "确定" rewrites the file, "取消" forgets the edits.
#pragma once

#include "playlist/customlists.h"

#include <QDialog>

class QPushButton;
class QTableWidget;

namespace kivamo {
class Prompts;
}

class TFCustomList : public QDialog {
    Q_OBJECT
public:
    TFCustomList(kivamo::Prompts& prompts, const QString& programDirectory, QWidget* parent = nullptr);

    QTableWidget* lv_cuslist;
    QPushButton* B_add;
    QPushButton* b_edit;
    QPushButton* B_del;
    QPushButton* Button5;
    QPushButton* Button4;

    void FormCreate();
    void B_addClick();
    void b_editClick();
    void B_delClick();
    void lv_cuslistMouseDown();
    void Button5Click();
    void Button4Click();

    const kivamo::CustomListEditor& editor() const { return m_editor; }

private:
    void buildList();
    void connectHandlers();
    // Shows the editor's rows again, missing list files in grey, keeping the given row selected.
    void showRows(int selectedRow);
    int selectedRow() const;

    kivamo::Prompts& m_prompts;
    QString m_programDirectory;
    kivamo::CustomListEditor m_editor;
};
