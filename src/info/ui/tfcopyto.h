// The copy log window TFcopyto (文件复制到), which lives for the program and only hides, and the
// conflict dialog TFhaveexist (复制文件) asked about each existing target.
#pragma once

#include "info/copymovies.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

class TFcopyto : public QDialog, public kivamo::CopyLog {
    Q_OBJECT
public:
    explicit TFcopyto(QWidget* parent = nullptr);

    QPlainTextEdit* redt_1;
    QPushButton* Button1;

    void Button1Click();

    // The log as appended, with its CR separators.
    const QString& text() const { return m_text; }

    void showWindow() override;
    void clear() override;
    void append(const QString& text) override;
    void repaint() override;
    void scrollToEnd() override;

private:
    QString m_text;
};

class TFhaveexist : public QDialog {
    Q_OBJECT
public:
    TFhaveexist(const QString& source, const QString& target, const QString& proposedName, QWidget* parent = nullptr);

    QLabel* LAB_1;
    QLabel* LAB_path;
    QLabel* LAB_source;
    QLineEdit* LABEDT_newpath;
    QLabel* LABEDT_newpathLabel;
    QLabel* LAB_3;
    QPushButton* Button1;
    QPushButton* Button2;
    QPushButton* Button3;
    QPushButton* Button4;

    void Button1Click();
    void Button2Click();
    void Button3Click();
    void Button4Click();

    // The button chosen; Closed until one is pressed (the window frame).
    kivamo::ConflictAnswer answer() const { return m_answer; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void connectHandlers();
    void finish(kivamo::ConflictChoice choice);

    kivamo::ConflictAnswer m_answer;
};

// Asks through a modal TFhaveexist over the given parent.
class HaveExistChooser : public kivamo::ConflictChooser {
public:
    explicit HaveExistChooser(QWidget* parent) : m_parent(parent) {}
    kivamo::ConflictAnswer choose(const QString& source, const QString& target, const QString& proposedName) override;

private:
    QWidget* m_parent;
};
