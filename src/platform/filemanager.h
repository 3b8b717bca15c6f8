// Showing a file in the desktop's file manager: org.freedesktop.FileManager1.ShowItems with the
// file's URI, or the containing folder opened with the desktop's handler when no file manager answers.
#pragma once

#include <QString>
#include <QUrl>

#include <functional>

namespace kivamo {

class FileManager {
public:
    virtual ~FileManager() = default;
    // Shows the file selected in a file-manager window; false when nothing could be shown.
    virtual bool showItem(const QString& path) = 0;
};

// The URI handed to the file manager: a local path as a file URI, an "smb://" address as it is;
// an empty URL for web addresses and Windows-style network paths, which no file manager shows.
QUrl fileManagerUrl(const QString& path);

// The desktop implementation. The two calls are seams: the default ones talk to the session bus
// and to QDesktopServices.
class DesktopFileManager : public FileManager {
public:
    using ShowItemsCall = std::function<bool(const QUrl& file)>;
    using OpenFolderCall = std::function<bool(const QUrl& folder)>;

    DesktopFileManager();
    DesktopFileManager(ShowItemsCall showItems, OpenFolderCall openFolder);

    bool showItem(const QString& path) override;

private:
    ShowItemsCall m_showItems;
    OpenFolderCall m_openFolder;
};

// The real calls: ShowItems on the session bus (false when no file manager answers) and
// QDesktopServices::openUrl.
bool callFileManagerShowItems(const QUrl& file);
bool openFolderWithDesktop(const QUrl& folder);

}  // namespace kivamo
