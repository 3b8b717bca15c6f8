#include "info/copymovies.h"

#include "core/paths.h"
#include "core/playlist.h"
#include "platform/directories.h"
#include "platform/prompts.h"
#include "platform/textfile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryFile>

#include <algorithm>

#include <unistd.h>

namespace kivamo {

namespace {

const QChar cr = u'\r';
const QString folderPrompt = QStringLiteral("请选择要复制到的目录");

QString folderOf(const QString& path)
{
    return path.left(path.size() - fileNamePart(path).size());
}

// Streams the source into an open file; false when reading or writing fails.
bool copyContents(QFile& source, QFileDevice& target)
{
    char buffer[64 * 1024];
    for (;;) {
        const qint64 read = source.read(buffer, sizeof buffer);
        if (read < 0)
            return false;
        if (read == 0)
            return target.flush();
        if (target.write(buffer, read) != read)
            return false;
    }
}

bool copyIntoNewFile(QFile& source, const QString& target)
{
    QTemporaryFile temporary(folderOf(target) + QStringLiteral(".kivamo-copy-XXXXXX"));
    if (!temporary.open())
        return false;
    if (!copyContents(source, temporary) || ::fsync(temporary.handle()) != 0)
        return false;
    // The rename never replaces an existing file: a target that appeared meanwhile is kept.
    if (!temporary.rename(target))
        return false;
    temporary.setAutoRemove(false);
    QFile::setPermissions(target, source.permissions());
    return true;
}

bool replaceFile(QFile& source, const QString& target)
{
    QSaveFile saved(target);
    if (!saved.open(QIODevice::WriteOnly))
        return false;
    if (!copyContents(source, saved)) {
        saved.cancelWriting();
        return false;
    }
    return saved.commit();
}

}  // namespace

bool copyFileSafely(const QString& source, const QString& target, bool overwrite)
{
    QFile input(source);
    if (!QFileInfo(source).isFile() || !input.open(QIODevice::ReadOnly))
        return false;
    if (QFileInfo(target).isDir())
        return false;
    if (!overwrite)
        return copyIntoNewFile(input, target);
    return replaceFile(input, target);
}

bool MovieCopier::copyMovieFile(const QString& source, const QString& target, bool check)
{
    if (check && QFileInfo::exists(target)) {
        resolveConflict(source, target);
        return false;
    }
    m_log.repaint();
    bool copied = false;
    if (!QFileInfo::exists(source)) {
        m_log.append(cr + QStringLiteral("复制失败：") + cr + source + QStringLiteral("不存在。"));
    } else {
        copied = copyFileSafely(source, target, !check);
        m_log.append(cr + source + cr + QStringLiteral("到： ") + target
                     + (copied ? QStringLiteral("  成功！")
                               : QStringLiteral("  ======失败！（目标目录不可写或没有足够空间）")));
    }
    m_log.scrollToEnd();
    return copied;
}

void MovieCopier::resolveConflict(const QString& source, const QString& target)
{
    const ConflictAnswer answer = m_chooser.choose(source, target, fileNamePart(target).chopped(std::min<qsizetype>(4, fileNamePart(target).size())));
    switch (answer.choice) {
    case ConflictChoice::Rename:
        copyMovieFile(source, folderOf(target) + answer.newBaseName + QStringLiteral(".swf"), true);
        break;
    case ConflictChoice::Overwrite:
        copyMovieFile(source, target, false);
        break;
    case ConflictChoice::Skip:
        m_log.append(cr + QStringLiteral("已跳过：") + target);
        break;
    case ConflictChoice::SkipAll:
        m_copyContinue = false;
        m_log.append(QStringLiteral("\r\n\r\n==已全部跳过=="));
        break;
    case ConflictChoice::Closed:
        break;
    }
}

void copySelected(const PlayList& list, Prompts& prompts, MovieCopier& copier, const QString& startDirectory)
{
    if (!list.hasSelection())
        return;
    const QString folder = prompts.chooseFolder(folderPrompt, startDirectory);
    if (folder.isEmpty())
        return;
    copier.log().showWindow();
    copier.log().clear();
    copier.setCopyContinue(true);
    const QString targetFolder = withTrailingSeparator(folder);
    for (int i = 0; i < list.count() && copier.copyContinue(); ++i) {
        if (!list.isSelected(i))
            continue;
        const QString source = trimmed32(list.at(i).path);
        copier.copyMovieFile(source, targetFolder + fileNamePart(source), true);
    }
}

void copyCurrent(const QString& currentMoviePath, Prompts& prompts, MovieCopier& copier,
                 const QString& startDirectory)
{
    const QString folder = prompts.chooseFolder(folderPrompt, startDirectory);
    if (folder.isEmpty())
        return;
    copier.log().showWindow();
    copier.log().clear();
    const QString target = withTrailingSeparator(folder) + titleFromPath(currentMoviePath) + QStringLiteral(".swf");
    copier.copyMovieFile(currentMoviePath, target, true);
}

}  // namespace kivamo
