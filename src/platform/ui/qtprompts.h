// The Prompts of the running program: QMessageBox, QFileDialog, QColorDialog and QPrintDialog.
#pragma once

#include "platform/prompts.h"

class QWidget;

namespace kivamo {

class QtPrompts : public Prompts {
public:
    // Dialogs are parented to the given window (the main window once it exists).
    explicit QtPrompts(QWidget* parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget* parent) { m_parent = parent; }

    PromptButton message(const MessagePrompt& prompt) override;
    QStringList openFiles(const FilePrompt& prompt) override;
    QString saveFile(const FilePrompt& prompt) override;
    QString chooseFolder(const QString& caption, const QString& startDirectory) override;
    std::optional<QColor> chooseColour(const QColor& initial) override;
    bool choosePrinter(QPrinter& printer) override;

private:
    QWidget* m_parent;
};

}  // namespace kivamo
