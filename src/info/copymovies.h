// Copying movie files into a folder: the copy log, the conflict decisions, the one safe copy
// operation behind "复制到..." and "当前文件复制到...".
#pragma once

#include <QString>

namespace kivamo {

class PlayList;
class Prompts;

// The copy log window "文件复制到" as the copy drives it. Texts carry their own CR separators.
class CopyLog {
public:
    virtual ~CopyLog() = default;
    virtual void showWindow() = 0;
    virtual void clear() = 0;
    virtual void append(const QString& text) = 0;
    virtual void repaint() = 0;       // before each file, so the window shows progress
    virtual void scrollToEnd() = 0;   // after each file
};

// The log as one text, for the window to show and for tests to read.
class CopyLogText : public CopyLog {
public:
    void showWindow() override { m_shown = true; }
    void clear() override { m_text.clear(); }
    void append(const QString& text) override { m_text += text; }
    void repaint() override {}
    void scrollToEnd() override {}
    const QString& text() const { return m_text; }
    bool shown() const { return m_shown; }

private:
    QString m_text;
    bool m_shown = false;
};

// The buttons of the conflict dialog "复制文件"; Closed is the window frame.
enum class ConflictChoice { Rename, Overwrite, Skip, SkipAll, Closed };

struct ConflictAnswer {
    ConflictChoice choice = ConflictChoice::Closed;
    QString newBaseName;  // the edited "重命名为：" text, for Rename
};

// The conflict dialog: shown for an existing target with the source, the target and the proposed
// base name (the target's file name without its last four characters).
class ConflictChooser {
public:
    virtual ~ConflictChooser() = default;
    virtual ConflictAnswer choose(const QString& source, const QString& target, const QString& proposedName) = 0;
};

class MovieCopier {
public:
    MovieCopier(CopyLog& log, ConflictChooser& chooser) : m_log(log), m_chooser(chooser) {}

    // Copies source to target; true only when this call made the copy. With check set an existing
    // target goes to the conflict dialog; with check clear it is replaced. The copy is written
    // under a temporary name in the target folder and renamed into place when complete, so a
    // failed copy leaves no partial file and an old target survives every failure.
    bool copyMovieFile(const QString& source, const QString& target, bool check);

    bool copyContinue() const { return m_copyContinue; }
    void setCopyContinue(bool value) { m_copyContinue = value; }
    CopyLog& log() { return m_log; }

private:
    void resolveConflict(const QString& source, const QString& target);

    CopyLog& m_log;
    ConflictChooser& m_chooser;
    bool m_copyContinue = false;
};

// The bytes of source into target through a temporary file in target's folder; an existing target
// is replaced only when overwrite is set. False on any failure, with nothing left behind.
bool copyFileSafely(const QString& source, const QString& target, bool overwrite);

// "复制到...": asks for a folder (from startDirectory) and copies every selected entry's file.
void copySelected(const PlayList& list, Prompts& prompts, MovieCopier& copier, const QString& startDirectory);

// "当前文件复制到...": asks for a folder and copies the loaded movie under its title + ".swf".
void copyCurrent(const QString& currentMoviePath, Prompts& prompts, MovieCopier& copier,
                 const QString& startDirectory);

}  // namespace kivamo
