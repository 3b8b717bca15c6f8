#include "platform/filemanager.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDesktopServices>
#include <QFileInfo>

namespace kivamo {

QUrl fileManagerUrl(const QString& path)
{
    if (path.startsWith(QLatin1String("smb://")))
        return QUrl(path);
    if (path.startsWith(u'/'))
        return QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
    return {};
}

DesktopFileManager::DesktopFileManager() : DesktopFileManager(callFileManagerShowItems, openFolderWithDesktop)
{
}

DesktopFileManager::DesktopFileManager(ShowItemsCall showItems, OpenFolderCall openFolder)
    : m_showItems(std::move(showItems)), m_openFolder(std::move(openFolder))
{
}

bool DesktopFileManager::showItem(const QString& path)
{
    const QUrl file = fileManagerUrl(path);
    if (file.isEmpty())
        return false;
    if (m_showItems(file))
        return true;
    return m_openFolder(file.adjusted(QUrl::RemoveFilename | QUrl::StripTrailingSlash));
}

bool callFileManagerShowItems(const QUrl& file)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("/org/freedesktop/FileManager1"),
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
    call << QStringList{file.toString(QUrl::FullyEncoded)} << QString();
    const QDBusMessage reply = bus.call(call, QDBus::Block, 5000);
    return reply.type() == QDBusMessage::ReplyMessage;
}

bool openFolderWithDesktop(const QUrl& folder)
{
    return QDesktopServices::openUrl(folder);
}

}  // namespace kivamo
