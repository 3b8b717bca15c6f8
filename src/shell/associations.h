// File associations the freedesktop.org way: the desktop entry, the play-list MIME type, default
// handlers in mimeapps.list and the file-type icons; ownership detection and handing movies over.
#pragma once

#include "core/result.h"
#include "platform/prompts.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace kivamo {

inline const QString kMovieMimeTypes[] = {QStringLiteral("application/vnd.adobe.flash.movie"),
                                          QStringLiteral("application/x-shockwave-flash")};
inline const QString kPlayListMimeType = QStringLiteral("application/x-kivamo-playlist");
inline const QString kDesktopEntryName = QStringLiteral("kivamo.desktop");

// Where the files go and how the desktop's caches are refreshed; tests point it at temporary folders.
struct AssociationEnvironment {
    QString dataHome;    // $XDG_DATA_HOME
    QString configHome;  // $XDG_CONFIG_HOME
    QStringList dataDirs;  // $XDG_DATA_DIRS: where system-wide desktop entries are looked up
    // The full path of a program on PATH, empty when absent (QStandardPaths::findExecutable).
    std::function<QString(const QString&)> findProgram;
    // Runs a program with its arguments and waits for it.
    std::function<void(const QString&, const QStringList&)> runProgram;
};

// The running user's folders ($XDG_DATA_HOME, $XDG_CONFIG_HOME or their defaults) and real processes.
AssociationEnvironment currentAssociationEnvironment();

QString applicationsFolder(const AssociationEnvironment& environment);
QString mimeAppsListPath(const AssociationEnvironment& environment);

// The desktop entry, the movie-file icon and the movie types' defaults, for the program at path:
// this program's kivamo.desktop, or for another program an entry named by handlerDesktopEntryName.
Result<void> registerMovieAssociation(const AssociationEnvironment& environment, const QString& programPath,
                                      bool thisProgram = true);
// The desktop entry, the MIME package of *.kvl, its icon and its default.
Result<void> registerListAssociation(const AssociationEnvironment& environment, const QString& programPath);

// The entry written for another program: "kivamo-handler-" + its file name + ".desktop".
QString handlerDesktopEntryName(const QString& programPath);

// At start: nothing from optical or read-only media; the movie association only with setting
// `command`; the list association always.
Result<void> registerAtStartup(const AssociationEnvironment& environment, const QString& programPath,
                               bool command, bool onOpticalOrReadOnlyMedia);

// The program the default movie handler's entry runs; nothing when there is no readable default.
std::optional<QString> defaultMovieHandlerProgram(const AssociationEnvironment& environment);
// Whether "注册文件关联" is enabled: false exactly when the default movie handler runs this program
// (paths compared exactly); currentlyEnabled is kept when no default handler can be read.
bool registerItemEnabled(const AssociationEnvironment& environment, const QString& programPath,
                         bool currentlyEnabled);

// "注册文件关联": registers the movie association and confirms with its message.
void registerMovieAssociationCommand(const AssociationEnvironment& environment, Prompts& prompts,
                                     const QString& programPath);

}  // namespace kivamo
