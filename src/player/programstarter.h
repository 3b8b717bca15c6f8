// ProgramStarter: starts a program without waiting for it, so that the movie's "exec" request can be
// tested without starting anything.
#pragma once

#include <QString>

namespace kivamo {

class ProgramStarter {
public:
    virtual ~ProgramStarter() = default;
    // Starts the program file with no arguments; false when it could not be started.
    virtual bool startDetached(const QString& program) = 0;
};

// QProcess::startDetached with the program itself: no shell ever sees the text.
class DetachedProgramStarter : public ProgramStarter {
public:
    bool startDetached(const QString& program) override;
};

// The file a movie's "exec" may start: an existing executable file, as an absolute path so that a
// bare name is never looked up in PATH instead. Empty when the argument names no such file.
QString execProgramPath(const QString& argument);

}  // namespace kivamo
