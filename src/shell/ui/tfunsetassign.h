// The un-assign dialog Tfunsetassign (卸载SWF文件关联): a thin window over shell/unsetassign.h that
// hands movie files to another program or just stops this one from taking them back.
#pragma once

#include "shell/associations.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;

class Tfunsetassign : public QDialog {
    Q_OBJECT
public:
    Tfunsetassign(kivamo::AssociationEnvironment environment, kivamo::Prompts& prompts, QString iniPath,
                  QWidget* parent = nullptr);

    QLabel* LAB_assignpath;
    QLineEdit* LABEDT_assignpath;
    QPushButton* Button1;
    QLabel* LAB_iconnum;
    QLineEdit* LABEDT_iconnum;
    QMenu* PM_1;
    QPushButton* Button2;
    QPushButton* Button3;
    QPushButton* Button4;

    // The handlers, public so that tests drive them as the clicks would.
    void Button1Click();
    void LABEDT_iconnumChange();
    void Button2Click();
    void Button3Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    kivamo::AssociationEnvironment m_environment;
    kivamo::Prompts& m_prompts;
    QString m_iniPath;
};
