// Finds the help pages' index: beside the program when it runs from its build or unpacked folder,
// otherwise in the installed data folder share/kivamo/help.
#pragma once

#include <QString>
#include <QStringList>

namespace kivamo {

// The places looked at, in order: programDirectory/help, programDirectory/../share/kivamo/help,
// then <each data directory>/kivamo/help; each with index.html.
QStringList helpIndexCandidates(const QString& programDirectory, const QStringList& dataDirectories);

// The first candidate that is an existing file, as an absolute clean path; empty when there is none.
QString findHelpIndex(const QString& programDirectory, const QStringList& dataDirectories);

// The same with the system's data directories ($XDG_DATA_HOME and $XDG_DATA_DIRS).
QString findHelpIndex(const QString& programDirectory);

}  // namespace kivamo
