// What the first start does with its command line, and what the running instance does with a
// later start's hand-off; both drive the play list and the player through StartupOperations.
#pragma once

#include <QString>

#include <functional>

namespace kivamo {

struct Settings;
class StartupOperations;

// Answers whether a path names an existing file; tests hand in their own.
using FileExists = std::function<bool(const QString& path)>;
bool fileExistsOnDisk(const QString& path);

// The first start's joined command line (each argument preceded by a blank): a named movie is
// played, another existing file is opened as the list file; without arguments the last list is
// reopened and, with autoplay, its first or last-played entry plays.
void runCommandLine(const QString& joined, const Settings& settings, StartupOperations& operations,
                    const FileExists& exists = fileExistsOnDisk);

// Line 2 of the hand-off file: an existing file is added (after a new list when newlist is on) and
// the first entry plays; the list title is refreshed in every case.
void runHandOff(const QString& line2, const Settings& settings, StartupOperations& operations,
                const FileExists& exists = fileExistsOnDisk);

}  // namespace kivamo
