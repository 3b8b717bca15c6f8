// The main window over the real play list and player, as the composition root builds it, with a
// fake control factory, scripted prompts and recording program and screen-saver services.
#pragma once

#include "app/appoperations.h"
#include "app/ui/tmainform.h"
#include "core/playlist.h"
#include "platform/filemanager.h"
#include "platform/screensaver.h"
#include "player/playbackcontroller.h"
#include "player/programstarter.h"
#include "player/ui/tshockwaveflash.h"
#include "playlist/playlistmodel.h"
#include "support/fakeflashcontrol.h"
#include "support/gtestqt.h"
#include "support/scriptedprompts.h"

#include <QFile>
#include <QUrl>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace kivamo::test {

class NoPrograms : public ProgramStarter {
public:
    QStringList started;
    bool startDetached(const QString& program) override
    {
        started << program;
        return true;
    }
};

// Records the files the window asks to show instead of opening a file manager.
class RecordingFileManager : public FileManager {
public:
    QStringList shown;
    bool showItem(const QString& path) override
    {
        shown << path;
        return true;
    }
};

class StillScreenSaver : public ScreenSaverInhibitor {
public:
    void setInhibited(bool on) override { inhibited = on; }
    bool isInhibited() const override { return inhibited; }
    bool inhibited = false;
};

struct Wired {
    // pluginFile: the file whose version record the plug-in box shows.
    // engineControls: the movie widget over the engine, placed by the window, instead of fakes.
    explicit Wired(const QString& programDirectory, QString plugin = {}, bool engineControls = false)
        : pluginFile(std::move(plugin)),
          operations(AppServices{list, prompts, engineControls ? engineFactory() : controls.factory(), programs, screenSaver, programDirectory,
                                 programDirectory, [this](const QUrl& url) { opened << url; return true; },
                                 pluginFile})
    {
        MainFormServices services;
        services.operations = &operations;
        services.commands = &operations;
        services.prompts = &prompts;
        services.listContext = [this] { return operations.listContext(); };
        services.programDirectory = programDirectory;
        services.fileManager = &fileManager;
        services.cacheHome = programDirectory + QStringLiteral("cache");
        form = std::make_unique<Tmainform>(services);
        operations.attachView(*form, form->startupSettings());
        auto* model = new PlayListModel(list, [this] { return operations.movieLoaded(); }, form.get());
        form->showPlayList(model, [this] { return std::make_pair(list.titleText(), list.stateText()); });
    }

    // The movie widget is a child of the window, which goes first: the player lets go of it now,
    // as the program does at exit.
    ~Wired() { operations.resetPlayer(); }

    PlaybackController& player() { return operations.playback(); }

    FlashControlFactory engineFactory()
    {
        return tshockwaveflashFactory(nullptr, [this](TShockwaveFlash& control) { form->placeMovieControl(&control); });
    }

    QList<QUrl> opened;  // pages given to the browser
    QString pluginFile;  // empty: no version record to show
    PlayList list;
    ScriptedPrompts prompts;
    FakeFlashControlFactory controls;
    NoPrograms programs;
    StillScreenSaver screenSaver;
    RecordingFileManager fileManager;
    AppOperations operations;
    std::unique_ptr<Tmainform> form;
};

// A program directory holding empty movie files with the given names.
inline void writeMovies(const QTemporaryDir& dir, std::initializer_list<const char*> names)
{
    for (const char* name : names) {
        QFile file(dir.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
}

// Adds the movies to the list as entries titled by their names.
inline void appendMovies(PlayList& list, const QTemporaryDir& dir, std::initializer_list<const char*> names)
{
    for (const char* name : names) {
        MovieEntry entry;
        entry.title = QString::fromLatin1(name);
        entry.path = dir.filePath(QString::fromLatin1(name));
        list.append(entry);
    }
}

}  // namespace kivamo::test
