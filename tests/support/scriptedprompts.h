// A Prompts that expects each prompt in order, checks it and gives the scripted answer; any prompt
// not expected, or expected but never shown, fails the test.
#pragma once

#include "platform/prompts.h"

#include <deque>

namespace kivamo::test {

class ScriptedPrompts : public Prompts {
public:
    enum class Kind { Message, OpenFiles, SaveFile, ChooseFolder, ChooseColour, ChoosePrinter };

    struct Expectation {
        Kind kind = Kind::Message;
        QString caption;  // checked when not empty
        QString text;     // message text, checked when not empty
        PromptIcon icon = PromptIcon::None;  // checked for messages
        PromptButtons buttons = PromptButton::Ok;  // checked for messages
        PromptButton answer = PromptButton::Ok;  // message answer
        QStringList files;  // open/save/folder answer (empty: cancelled)
        std::optional<QColor> colour;
        bool printerAccepted = false;
    };

    ~ScriptedPrompts() override;

    // Scripts a message box and the button the user presses.
    ScriptedPrompts& expectMessage(const QString& caption, const QString& text, PromptIcon icon,
                                   PromptButtons buttons = PromptButton::Ok, PromptButton answer = PromptButton::Ok);
    ScriptedPrompts& expectOpenFiles(const QStringList& answer, const QString& caption = {});
    ScriptedPrompts& expectSaveFile(const QString& answer, const QString& caption = {});
    ScriptedPrompts& expectFolder(const QString& answer, const QString& caption = {});
    ScriptedPrompts& expectColour(std::optional<QColor> answer);
    ScriptedPrompts& expectPrinter(bool accepted);

    // Prompts shown so far, for checking details such as filters.
    const std::vector<MessagePrompt>& messages() const { return m_messages; }
    const std::vector<FilePrompt>& filePrompts() const { return m_filePrompts; }
    bool done() const { return m_expected.empty(); }

    PromptButton message(const MessagePrompt& prompt) override;
    QStringList openFiles(const FilePrompt& prompt) override;
    QString saveFile(const FilePrompt& prompt) override;
    QString chooseFolder(const QString& caption, const QString& startDirectory) override;
    std::optional<QColor> chooseColour(const QColor& initial) override;
    bool choosePrinter(QPrinter& printer) override;

private:
    // The next expectation, checked against the kind and caption; nullopt when the prompt was unexpected.
    std::optional<Expectation> next(Kind kind, const QString& caption);

    std::deque<Expectation> m_expected;
    std::vector<MessagePrompt> m_messages;
    std::vector<FilePrompt> m_filePrompts;
};

}  // namespace kivamo::test
