#include "dialogs/snapshot.h"

#include "core/paths.h"
#include "core/settings.h"
#include "dialogs/snapshotencoders.h"
#include "platform/directories.h"
#include "platform/inifile.h"

#include <QStorageInfo>

namespace kivamo {

namespace {

void showStayOnTop(const SnapshotServices& services, const QString& caption, const QString& text, PromptIcon icon)
{
    MessagePrompt prompt;
    prompt.caption = caption;
    prompt.text = text;
    prompt.icon = icon;
    prompt.buttons = PromptButton::Ok;
    prompt.stayOnTop = true;
    services.prompts->message(prompt);
}

bool folderExists(const QString& folder)
{
    return !folder.isEmpty() && QFileInfo(folder).isDir();
}

bool onOptical(const SnapshotServices& services, const QString& folder)
{
    return services.onOpticalMedia ? services.onOpticalMedia(folder) : isOpticalOrReadOnly(folder);
}

QString mountPoint(const SnapshotServices& services, const QString& folder)
{
    return services.mountPointOf ? services.mountPointOf(folder) : QStorageInfo(folder).rootPath();
}

}  // namespace

QString snapshotFolderOf(const QString& fileName)
{
    const qsizetype slash = fileName.lastIndexOf(u'/');
    return slash < 0 ? QString() : fileName.left(slash + 1);
}

bool saveSnapshot(const SnapshotServices& services, bool movieLoaded, const QImage& picture, const QString& fileName)
{
    if (!movieLoaded)
        return false;
    const QString folder = snapshotFolderOf(fileName);
    if (!folderExists(folder)) {
        showStayOnTop(services, QStringLiteral("路径无效"), folder + QStringLiteral("不存在"), PromptIcon::Error);
        return false;
    }
    if (onOptical(services, folder)) {
        showStayOnTop(services, QStringLiteral("路径无效"),
                      QStringLiteral("路径无效") + u'\r' + mountPoint(services, folder) + QStringLiteral("为光驱路径"),
                      PromptIcon::Error);
        return false;
    }
    const std::optional<SnapshotFormat> format = snapshotFormatForFile(fileName);
    if (!format)
        return false;
    if (!writeSnapshotFile(picture, *format, fileName)) {
        showStayOnTop(services, QStringLiteral("文件创建错误"), QStringLiteral("不能创建文件到") + u'\r' + fileName,
                      PromptIcon::Error);
        return false;
    }
    if (services.showStatus)
        services.showStatus(QStringLiteral("已保存截图至：") + fileName);
    return true;
}

QString automaticSnapshotName(const QString& folder, const QString& moviePath, const QString& imageType)
{
    const QString stem = withTrailingSeparator(folder) + titleFromPath(moviePath);
    for (qint64 n = 0;; ++n) {
        const QString name = stem + QString::number(n) + u'.' + imageType;
        if (!QFileInfo::exists(name))
            return name;
    }
}

QString snapshotSaveFilter()
{
    return QStringLiteral("BMP图像文件(*.bmp)|*.bmp|GIF图像文件(*.gif)|*.gif|JPG图像文件(*.jpg)|*.jpg");
}

void takeSingleSnapshot(const SnapshotServices& services, const SnapshotSource& source, const QString& programDirectory)
{
    if (!source.controlExists || !source.movieLoaded)
        return;
    const PictureSettings settings =
        readPictureSettings(IniFile::load(settingsFilePath(programDirectory)), programDirectory);
    const QString folder = settings.path.isEmpty() ? QString() : withTrailingSeparator(settings.path);
    // The picture is taken before any dialog can cover or change the movie.
    const QImage picture = source.capture ? source.capture() : QImage();
    if (folderExists(folder) && !settings.custom) {
        saveSnapshot(services, source.movieLoaded, picture,
                     automaticSnapshotName(folder, source.moviePath, settings.imagetype));
        return;
    }
    FilePrompt prompt;
    prompt.filter = snapshotSaveFilter();
    prompt.defaultSuffix = QStringLiteral("BMP");
    prompt.confirmOverwrite = true;
    const QString chosen = services.prompts->saveFile(prompt);
    if (chosen.isEmpty())
        return;
    if (saveSnapshot(services, source.movieLoaded, picture, chosen))
        showStayOnTop(services, QStringLiteral("保存成功"),
                      QStringLiteral("保存成功！截图保存在 ") + snapshotFolderOf(chosen), PromptIcon::Information);
}

}  // namespace kivamo
