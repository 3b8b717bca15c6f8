#include "support/scriptedprompts.h"

#include <gtest/gtest.h>

namespace kivamo::test {

namespace {

const char* kindName(ScriptedPrompts::Kind kind)
{
    switch (kind) {
    case ScriptedPrompts::Kind::Message:
        return "message box";
    case ScriptedPrompts::Kind::OpenFiles:
        return "open dialog";
    case ScriptedPrompts::Kind::SaveFile:
        return "save dialog";
    case ScriptedPrompts::Kind::ChooseFolder:
        return "folder browser";
    case ScriptedPrompts::Kind::ChooseColour:
        return "colour chooser";
    case ScriptedPrompts::Kind::ChoosePrinter:
        return "print dialog";
    }
    return "prompt";
}

}  // namespace

ScriptedPrompts::~ScriptedPrompts()
{
    for (const Expectation& e : m_expected)
        ADD_FAILURE() << "expected " << kindName(e.kind) << " \"" << e.caption.toStdString() << "\" / \""
                      << e.text.toStdString() << "\" never came";
}

ScriptedPrompts& ScriptedPrompts::expectMessage(const QString& caption, const QString& text, PromptIcon icon,
                                                PromptButtons buttons, PromptButton answer)
{
    Expectation e;
    e.kind = Kind::Message;
    e.caption = caption;
    e.text = text;
    e.icon = icon;
    e.buttons = buttons;
    e.answer = answer;
    m_expected.push_back(e);
    return *this;
}

ScriptedPrompts& ScriptedPrompts::expectOpenFiles(const QStringList& answer, const QString& caption)
{
    Expectation e;
    e.kind = Kind::OpenFiles;
    e.caption = caption;
    e.files = answer;
    m_expected.push_back(e);
    return *this;
}

ScriptedPrompts& ScriptedPrompts::expectSaveFile(const QString& answer, const QString& caption)
{
    Expectation e;
    e.kind = Kind::SaveFile;
    e.caption = caption;
    if (!answer.isEmpty())
        e.files = QStringList{answer};
    m_expected.push_back(e);
    return *this;
}

ScriptedPrompts& ScriptedPrompts::expectFolder(const QString& answer, const QString& caption)
{
    Expectation e;
    e.kind = Kind::ChooseFolder;
    e.caption = caption;
    if (!answer.isEmpty())
        e.files = QStringList{answer};
    m_expected.push_back(e);
    return *this;
}

ScriptedPrompts& ScriptedPrompts::expectColour(std::optional<QColor> answer)
{
    Expectation e;
    e.kind = Kind::ChooseColour;
    e.colour = answer;
    m_expected.push_back(e);
    return *this;
}

ScriptedPrompts& ScriptedPrompts::expectPrinter(bool accepted)
{
    Expectation e;
    e.kind = Kind::ChoosePrinter;
    e.printerAccepted = accepted;
    m_expected.push_back(e);
    return *this;
}

std::optional<ScriptedPrompts::Expectation> ScriptedPrompts::next(Kind kind, const QString& caption)
{
    if (m_expected.empty()) {
        ADD_FAILURE() << "unexpected " << kindName(kind) << " \"" << caption.toStdString() << "\"";
        return std::nullopt;
    }
    Expectation e = m_expected.front();
    m_expected.pop_front();
    EXPECT_EQ(kindName(e.kind), std::string(kindName(kind)))
        << "expected " << kindName(e.kind) << " but got " << kindName(kind) << " \"" << caption.toStdString() << "\"";
    if (!e.caption.isEmpty()) {
        EXPECT_EQ(e.caption.toStdString(), caption.toStdString());
    }
    return e;
}

PromptButton ScriptedPrompts::message(const MessagePrompt& prompt)
{
    m_messages.push_back(prompt);
    auto e = next(Kind::Message, prompt.caption);
    if (!e)
        return PromptButton::Cancel;
    if (!e->text.isEmpty()) {
        EXPECT_EQ(e->text.toStdString(), prompt.text.toStdString());
    }
    EXPECT_EQ(int(e->icon), int(prompt.icon)) << "icon of \"" << prompt.text.toStdString() << "\"";
    EXPECT_EQ(int(e->buttons), int(prompt.buttons)) << "buttons of \"" << prompt.text.toStdString() << "\"";
    return e->answer;
}

QStringList ScriptedPrompts::openFiles(const FilePrompt& prompt)
{
    m_filePrompts.push_back(prompt);
    auto e = next(Kind::OpenFiles, prompt.caption);
    return e ? e->files : QStringList();
}

QString ScriptedPrompts::saveFile(const FilePrompt& prompt)
{
    m_filePrompts.push_back(prompt);
    auto e = next(Kind::SaveFile, prompt.caption);
    return e && !e->files.isEmpty() ? e->files.constFirst() : QString();
}

QString ScriptedPrompts::chooseFolder(const QString& caption, const QString&)
{
    auto e = next(Kind::ChooseFolder, caption);
    return e && !e->files.isEmpty() ? e->files.constFirst() : QString();
}

std::optional<QColor> ScriptedPrompts::chooseColour(const QColor&)
{
    auto e = next(Kind::ChooseColour, QString());
    return e ? e->colour : std::nullopt;
}

bool ScriptedPrompts::choosePrinter(QPrinter&)
{
    auto e = next(Kind::ChoosePrinter, QString());
    return e && e->printerAccepted;
}

}  // namespace kivamo::test
