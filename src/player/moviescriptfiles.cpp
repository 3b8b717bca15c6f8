#include "player/moviescriptfiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

namespace kivamo {

namespace {

bool isWebAddress(const QString& source)
{
    return source.startsWith(QLatin1String("http://"), Qt::CaseInsensitive) ||
           source.startsWith(QLatin1String("https://"), Qt::CaseInsensitive);
}

// The path's segments without "..", "." and empty ones, joined again with "/".
QString safeSegments(const QString& path)
{
    QStringList kept;
    for (const QString& segment : path.split(QLatin1Char('/'), Qt::SkipEmptyParts))
        if (segment != QLatin1String("..") && segment != QLatin1String("."))
            kept << segment;
    return kept.join(QLatin1Char('/'));
}

}  // namespace

QString sharedObjectFolderFor(const QString& root, const QString& source)
{
    if (root.isEmpty() || source.trimmed().isEmpty())
        return {};
    QString where = source.trimmed();
    QString domain = QStringLiteral("localhost"), path;
    if (isWebAddress(where)) {
        QUrl url(where);
        domain = safeSegments(url.host().toLower());
        if (url.port() > 0)
            domain += QLatin1Char('_') + QString::number(url.port());
        path = url.path();
    } else {
        path = QFileInfo(where).absoluteFilePath();
    }
    if (domain.isEmpty())
        domain = QStringLiteral("unknown");
    QString inner = safeSegments(QDir::cleanPath(QLatin1Char('/') + path));
    return QDir::cleanPath(root + QLatin1Char('/') + domain + (inner.isEmpty() ? QString() : QLatin1Char('/') + inner));
}

QString scriptFilePath(const QString& movieSource, const QString& url)
{
    QString where = movieSource.trimmed();
    if (where.isEmpty() || isWebAddress(where) || url.isEmpty() || isWebAddress(url))
        return {};
    QString file = url;
    if (file.startsWith(QLatin1String("file:"), Qt::CaseInsensitive))
        file = QUrl(url).toLocalFile();
    else if (url.contains(QLatin1String("://")))
        return {};  // another scheme
    if (file.isEmpty())
        return {};
    if (QFileInfo(file).isRelative())
        file = QFileInfo(where).absoluteDir().filePath(file);
    return QDir::cleanPath(file);
}

QUrl scriptWebAddress(const QString& movieSource, const QString& url)
{
    const QString asked = url.trimmed();
    if (asked.isEmpty())
        return {};
    QUrl address(asked);
    if (address.isRelative()) {
        const QString where = movieSource.trimmed();
        if (!isWebAddress(where))
            return {};
        address = QUrl(where).resolved(address);
    }
    const QString scheme = address.scheme().toLower();
    if ((scheme != QLatin1String("http") && scheme != QLatin1String("https")) || address.host().isEmpty())
        return {};
    return address;
}

bool readScriptText(const QString& path, qint64 maxBytes, std::string& text)
{
    QFile file(path);
    if (path.isEmpty() || !QFileInfo(path).isFile() || file.size() > maxBytes || !file.open(QIODevice::ReadOnly))
        return false;
    QByteArray bytes = file.read(maxBytes + 1);
    if (bytes.size() > maxBytes)
        return false;
    text.assign(bytes.constData(), std::size_t(bytes.size()));
    return true;
}

QString flashLanguage(const QLocale& locale)
{
    if (locale.language() == QLocale::Chinese) {
        bool traditional = locale.script() == QLocale::TraditionalChineseScript ||
                           locale.territory() == QLocale::Taiwan || locale.territory() == QLocale::HongKong ||
                           locale.territory() == QLocale::Macau;
        return traditional ? QStringLiteral("zh-TW") : QStringLiteral("zh-CN");
    }
    QString name = locale.name();  // "en_GB"
    QString code = name.section(QLatin1Char('_'), 0, 0);
    return code.size() == 2 ? code : QStringLiteral("en");
}

}  // namespace kivamo
