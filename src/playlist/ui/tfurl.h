// The dialog TfURL (添加网络Flash文件): adds a typed web address of a movie to the play list.
#pragma once

#include "playlist/listcontext.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

class TfURL : public QDialog {
    Q_OBJECT
public:
    // The dialog deletes itself when closed; the opener keeps a QPointer to bring an open one up.
    TfURL(const kivamo::ListContext& context, QWidget* parent = nullptr);

    QLineEdit* LABEDT_path;
    QLabel* LABEDT_pathLabel;
    QPushButton* Button1;
    QPushButton* Button2;

    void Button1Click();
    void Button2Click();

private:
    void connectHandlers();

    kivamo::ListContext m_context;
};
