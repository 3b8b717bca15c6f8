// A main window built in a temporary program directory with recording services.
#pragma once

#include "app/fakeoperations.h"
#include "app/ui/tmainform.h"
#include "support/gtestqt.h"
#include "support/scriptedprompts.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace kivamo::test {

class RecordingCommands : public CommandHandler {
public:
    void runCommand(Command command) override { commands.push_back(command); }
    void setLoopPlay(bool on) override { loops.push_back(on); }
    PlayerFlags playerFlags() const override { return flags; }
    std::vector<Command> commands;
    std::vector<bool> loops;
    PlayerFlags flags;
};

class MainFormTest : public ::testing::Test {
protected:
    // Builds a window over the program directory and runs its creation with the arguments.
    std::unique_ptr<Tmainform> create(const QStringList& arguments = {})
    {
        MainFormServices services;
        services.operations = &operations;
        services.commands = &commands;
        services.prompts = &prompts;
        services.programDirectory = dir.path() + QLatin1Char('/');
        auto form = std::make_unique<Tmainform>(services);
        form->FormCreate(arguments, nullptr, nullptr);
        return form;
    }

    QString mainIni() const { return dir.filePath(QStringLiteral("main.ini")); }

    QTemporaryDir dir;
    RecordingOperations operations;
    RecordingCommands commands;
    ScriptedPrompts prompts;
};

// The captions of a menu's entries in order; a separator line reads as "-".
inline QStringList captions(const QMenu* menu)
{
    QStringList texts;
    for (const QAction* action : menu->actions())
        texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
    return texts;
}

}  // namespace kivamo::test
