#include "core/paths.h"

namespace kivamo {

namespace {

bool isSeparator(QChar c)
{
    return c == u'/' || c == u'\\' || c == u':';
}

}  // namespace

bool isDrivePath(const QString& path)
{
    return path.size() >= 2 && path[1] == u':';
}

bool isLocalPath(const QString& path)
{
    return path.startsWith(u'/') || isDrivePath(path);
}

bool isNetworkPath(const QString& path)
{
    return path.startsWith(QLatin1String("\\\\")) || path.startsWith(QLatin1String("smb://"), Qt::CaseInsensitive);
}

bool isWebAddress(const QString& path)
{
    return path.startsWith(QLatin1String("http"));
}

QString fileNamePart(const QString& path)
{
    for (qsizetype i = path.size() - 1; i >= 0; --i) {
        if (isSeparator(path[i]))
            return path.mid(i + 1);
    }
    return path;
}

QString titleFromPath(const QString& path)
{
    if (isWebAddress(path))
        return path;
    QString name = fileNamePart(path);
    return name.size() > 4 ? name.left(name.size() - 4) : QString();
}

QString upperExtension(const QString& path)
{
    for (qsizetype i = path.size() - 1; i >= 0; --i) {
        if (path[i] == u'.')
            return path.mid(i).toUpper();
        if (isSeparator(path[i]))
            break;
    }
    return {};
}

bool hasExtension(const QString& path, const QString& upperCaseExtension)
{
    return upperExtension(path) == upperCaseExtension;
}

QString sidecarPath(const QString& moviePath)
{
    return moviePath.left(qMax<qsizetype>(0, moviePath.size() - 4)) + QStringLiteral(".fci");
}

}  // namespace kivamo
