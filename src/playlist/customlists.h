// Custom lists: named shortcuts to saved list files, kept in "list.cfg" in the program directory,
// the menu built from them, the command that adds the current list and the editing dialog's logic.
#pragma once

#include "core/result.h"
#include "playlist/listcontext.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace kivamo {

class PlayList;

struct CustomList {
    QString name;
    QString path;
};

QString customListFilePath(const QString& programDirectory);

// Records of the file's lines: the first line must contain "#LLL"; each line that is exactly
// "begin" is followed by the name and the path, both as read.
std::vector<CustomList> parseCustomLists(const QStringList& lines);
// The custom lists of the file; none when it is missing or unreadable.
std::vector<CustomList> readCustomLists(const QString& programDirectory);

struct CustomListMenu {
    bool addEnabled = false;  // 当前列表加入自定义: only for a saved list
    std::vector<CustomList> items;
};
CustomListMenu customListMenu(const PlayList& list, const QString& programDirectory);

// Opens a custom-list menu item (caption and hint = path) in place of the play list.
void openCustomList(ListContext& context, const QString& caption, const QString& hint);

// 当前列表加入自定义: warns for an unsaved list; otherwise appends the list name and list file to
// the file when the file exists (nothing is written before the dialog has created it).
void addCurrentListToCustom(ListContext& context, const QString& programDirectory);

// The rows of the dialog 自定义播放列表 between opening it and "确定".
class CustomListEditor {
public:
    void load(const QString& programDirectory);
    const std::vector<CustomList>& rows() const { return m_rows; }

    void add(const QString& listFile);
    void edit(int row, const QString& listFile);
    void remove(int row);
    // The row's list file is gone (the row is painted grey but kept).
    bool isMissing(int row) const;

    // "添加" and "编辑": the list file comes from the open dialog; false when it was cancelled.
    bool addThroughDialog(Prompts& prompts);
    bool editThroughDialog(Prompts& prompts, int row);

    // "确定": rewrites the file with "#LLL" and each row trimmed. Shows the error and returns false
    // when it cannot be written (the old file then stays as it was).
    bool save(Prompts& prompts, const QString& programDirectory) const;

private:
    std::vector<CustomList> m_rows;
};

}  // namespace kivamo
