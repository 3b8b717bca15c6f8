#include "platform/ui/qtprompts.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>

namespace kivamo {

namespace {

QMessageBox::Icon toQtIcon(PromptIcon icon)
{
    switch (icon) {
    case PromptIcon::Information:
        return QMessageBox::Information;
    case PromptIcon::Warning:
        return QMessageBox::Warning;
    case PromptIcon::Error:
        return QMessageBox::Critical;
    case PromptIcon::Question:
        return QMessageBox::Question;
    case PromptIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

struct ButtonPair {
    PromptButton ours;
    QMessageBox::StandardButton qt;
};

constexpr ButtonPair kButtons[] = {
    {PromptButton::Ok, QMessageBox::Ok},         {PromptButton::Cancel, QMessageBox::Cancel},
    {PromptButton::Yes, QMessageBox::Yes},       {PromptButton::No, QMessageBox::No},
    {PromptButton::Abort, QMessageBox::Abort},   {PromptButton::Retry, QMessageBox::Retry},
    {PromptButton::Ignore, QMessageBox::Ignore},
};

void prepareFileDialog(QFileDialog& dialog, const FilePrompt& prompt)
{
    dialog.setWindowTitle(prompt.caption);
    if (!prompt.directory.isEmpty())
        dialog.setDirectory(prompt.directory);
    if (!prompt.fileName.isEmpty())
        dialog.selectFile(prompt.fileName);
    if (!prompt.filter.isEmpty())
        dialog.setNameFilter(qtFilterFromSystemFilter(prompt.filter));
    if (!prompt.defaultSuffix.isEmpty())
        dialog.setDefaultSuffix(prompt.defaultSuffix);
}

}  // namespace

PromptButton QtPrompts::message(const MessagePrompt& prompt)
{
    QMessageBox box(toQtIcon(prompt.icon), prompt.caption, prompt.text, QMessageBox::NoButton, m_parent);
    QMessageBox::StandardButtons buttons;
    for (const ButtonPair& pair : kButtons) {
        if (prompt.buttons.testFlag(pair.ours))
            buttons |= pair.qt;
    }
    box.setStandardButtons(buttons ? buttons : QMessageBox::Ok);
    for (const ButtonPair& pair : kButtons) {
        if (pair.ours == prompt.defaultButton)
            box.setDefaultButton(pair.qt);
    }
    if (prompt.stayOnTop)
        box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    int answer = box.exec();
    for (const ButtonPair& pair : kButtons) {
        if (answer == pair.qt)
            return pair.ours;
    }
    return prompt.buttons.testFlag(PromptButton::Cancel) ? PromptButton::Cancel : PromptButton::No;
}

QStringList QtPrompts::openFiles(const FilePrompt& prompt)
{
    QFileDialog dialog(m_parent);
    prepareFileDialog(dialog, prompt);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(prompt.multiple ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles();
}

QString QtPrompts::saveFile(const FilePrompt& prompt)
{
    QFileDialog dialog(m_parent);
    prepareFileDialog(dialog, prompt);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !prompt.confirmOverwrite);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

QString QtPrompts::chooseFolder(const QString& caption, const QString& startDirectory)
{
    return QFileDialog::getExistingDirectory(m_parent, caption, startDirectory);
}

std::optional<QColor> QtPrompts::chooseColour(const QColor& initial)
{
    QColor colour = QColorDialog::getColor(initial, m_parent);
    if (!colour.isValid())
        return std::nullopt;
    return colour;
}

bool QtPrompts::choosePrinter(QPrinter& printer)
{
    QPrintDialog dialog(&printer, m_parent);
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace kivamo
