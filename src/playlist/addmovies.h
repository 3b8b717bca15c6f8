// Adding movies to the play list: single files, chosen files, directories (with the walk and its
// progress window), web addresses and files dropped from the file manager.
#pragma once

#include "platform/prompts.h"
#include "playlist/listcontext.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace kivamo {

// Adds one path: a ".SWF" file becomes a new entry (its notes from the sidecar file when setting
// banquan is on, "<未知>" otherwise); a ".KVL" file is appended, or opened in place of the list when
// it was double-clicked and setting behind is off. Other paths add nothing. The title is refreshed
// in every case. Returns true when a movie entry was appended.
bool addFile(ListContext& context, const QString& path, bool doubleClicked);

// The files chosen in the open dialog, in its order; the list is marked modified.
void addFiles(ListContext& context, const QStringList& paths);
// 添加文件: asks for movie or list files and adds them.
void addFilesCommand(ListContext& context);

// The warning to show for a typed web address, or nothing when it may be added: it must begin with
// exactly "http://" and end in an extension that upper-cases to ".SWF".
std::optional<MessagePrompt> webAddressWarning(const QString& text);
// The "确定" of the web-address dialog: adds the address, or shows the warning and returns false
// (the dialog then stays open).
bool addWebAddress(ListContext& context, const QString& text);

// What the progress window shows during a directory walk.
struct WalkStatus {
    QString currentText;  // "正在添加：" + path
    QString countText;    // "已添加： n 个"
    int barPosition = 0;  // added count mod 100
};

// The progress window as the walk drives it.
class WalkProgressView {
public:
    virtual ~WalkProgressView() = default;
    virtual void showWindow() = 0;
    // Shows the texts, repaints at once and lets pending events run (so "取消" can stop the walk).
    virtual void showStatus(const WalkStatus& status) = 0;
    // Lets pending events run.
    virtual void processEvents() = 0;
    virtual void closeWindow() = 0;
};

// Adds directories with the progress window. The window is repainted and events are let through
// at most every repaintInterval milliseconds of the clock, so a large walk is not bound by repaints.
class DirectoryAdder {
public:
    using Clock = std::function<qint64()>;  // milliseconds, increasing
    static constexpr qint64 repaintInterval = 50;

    DirectoryAdder(ListContext& context, WalkProgressView& view, Clock clock);

    // Asks whether to include sub-directories, then walks the directory with the progress window.
    void addDirectory(const QString& directory);
    // Walks a directory (ending in a separator) adding its movies in the order the file system
    // gives them. Linked directories are not followed, so a link loop cannot walk for ever.
    void walk(const QString& directory, bool includeSubdirectories);

    // The progress window was closed: the walk stops after the current file.
    void cancel() { m_addContinue = false; }
    bool addContinue() const { return m_addContinue; }
    int addedCount() const { return m_addedCount; }

private:
    void movieAdded(const QString& path);
    // True at the first call and then when repaintInterval has passed since the last true.
    bool takeSlot(qint64& last, bool& taken);

    ListContext& m_context;
    WalkProgressView& m_view;
    Clock m_clock;
    bool m_addContinue = false;
    int m_addedCount = 0;
    qint64 m_lastStatus = 0;
    qint64 m_lastEvents = 0;
    bool m_statusShown = false;
    bool m_eventsRun = false;
};

// 添加目录: asks for a directory and adds it; the list is marked modified.
void addChosenDirectoryCommand(ListContext& context, DirectoryAdder& adder);

// Files dropped on the list view: each is added, and each that is a directory is walked.
void dropOnList(ListContext& context, DirectoryAdder& adder, const QStringList& names);
// Files dropped on the panel around the list view: one movie replaces the list and plays (true is
// returned; the main window then takes the focus); any other drop is handled as on the list view.
bool dropOnPanel(ListContext& context, DirectoryAdder& adder, const QStringList& names);

}  // namespace kivamo
