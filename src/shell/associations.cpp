#include "shell/associations.h"

#include "shell/associationicons.h"
#include "shell/desktopfiles.h"

#include <QProcess>
#include <QStandardPaths>

namespace kivamo {

namespace {

const QString kDefaultsSection = QStringLiteral("Default Applications");

QString entryText(const QString& name, const QString& programPath, const QStringList& mimeTypes, bool own)
{
    QString text = QStringLiteral("[Desktop Entry]\nType=Application\nVersion=1.0\n");
    text += QStringLiteral("Name=") + name + u'\n';
    if (own) {
        text += QStringLiteral("GenericName=Flash 播放器\nComment=播放和管理 Flash 影片\nIcon=kivamo\n");
        text += QStringLiteral("Categories=AudioVideo;Video;Player;\n");
    } else {
        text += QStringLiteral("NoDisplay=true\n");
    }
    text += QStringLiteral("Exec=") + desktopExecLine(programPath) + u'\n';
    text += QStringLiteral("Terminal=false\n");
    text += QStringLiteral("MimeType=") + mimeTypes.join(u';') + QStringLiteral(";\n");
    return text;
}

QStringList allTypes()
{
    return {kMovieMimeTypes[0], kMovieMimeTypes[1], kPlayListMimeType};
}

QString entryNameFor(const QString& programPath, bool own)
{
    return own ? kDesktopEntryName : handlerDesktopEntryName(programPath);
}

Result<void> writeEntry(const AssociationEnvironment& environment, const QString& programPath, bool own)
{
    const QString name = own ? QStringLiteral("Kivamo") : QFileInfo(programPath).fileName();
    const QStringList types = own ? allTypes() : QStringList{kMovieMimeTypes[0], kMovieMimeTypes[1]};
    return writeUtf8File(applicationsFolder(environment) + entryNameFor(programPath, own),
                         entryText(name, programPath, types, own));
}

Result<void> setDefaults(const AssociationEnvironment& environment, const QStringList& types, const QString& entry)
{
    const QString path = mimeAppsListPath(environment);
    QString text = readUtf8File(path);
    for (const QString& type : types)
        text = setKeyFileValue(text, kDefaultsSection, type, entry + u';');
    return writeUtf8File(path, text);
}

void runIfPresent(const AssociationEnvironment& environment, const QString& program, const QStringList& arguments)
{
    if (!environment.findProgram || !environment.runProgram)
        return;
    const QString found = environment.findProgram(program);
    if (!found.isEmpty())
        environment.runProgram(found, arguments);
}

QString iconPath(const AssociationEnvironment& environment, const QString& mimeType)
{
    QString iconName = mimeType;
    iconName.replace(u'/', u'-');
    return QDir(environment.dataHome).filePath(QStringLiteral("icons/hicolor/scalable/mimetypes/")) + iconName
           + QStringLiteral(".svg");
}

QString mimePackageText()
{
    return QStringLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
        "  <mime-type type=\"application/x-kivamo-playlist\">\n"
        "    <comment>Kivamo play list</comment>\n"
        "    <comment xml:lang=\"zh_CN\">flash播放列表</comment>\n"
        "    <sub-class-of type=\"text/plain\"/>\n"
        "    <icon name=\"application-x-kivamo-playlist\"/>\n"
        "    <glob pattern=\"*.kvl\"/>\n"
        "  </mime-type>\n"
        "</mime-info>\n");
}

}  // namespace

AssociationEnvironment currentAssociationEnvironment()
{
    AssociationEnvironment environment;
    environment.dataHome = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    environment.configHome = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    environment.dataDirs = QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation);
    environment.dataDirs.removeAll(environment.dataHome);
    environment.findProgram = [](const QString& name) { return QStandardPaths::findExecutable(name); };
    environment.runProgram = [](const QString& program, const QStringList& arguments) {
        QProcess::execute(program, arguments);
    };
    return environment;
}

QString applicationsFolder(const AssociationEnvironment& environment)
{
    return QDir(environment.dataHome).filePath(QStringLiteral("applications")) + u'/';
}

QString mimeAppsListPath(const AssociationEnvironment& environment)
{
    return QDir(environment.configHome).filePath(QStringLiteral("mimeapps.list"));
}

QString handlerDesktopEntryName(const QString& programPath)
{
    QString base = QFileInfo(programPath).fileName();
    for (QChar& c : base)
        if (!c.isLetterOrNumber() && c != u'-' && c != u'_')
            c = u'_';
    return QStringLiteral("kivamo-handler-") + base + QStringLiteral(".desktop");
}

Result<void> registerMovieAssociation(const AssociationEnvironment& environment, const QString& programPath,
                                      bool thisProgram)
{
    const bool own = thisProgram;
    if (Result<void> written = writeEntry(environment, programPath, own); !written)
        return written;
    if (Result<void> icon = writeUtf8File(iconPath(environment, kMovieMimeTypes[0]), movieFileIconSvg()); !icon)
        return icon;
    if (Result<void> defaults = setDefaults(environment, {kMovieMimeTypes[0], kMovieMimeTypes[1]},
                                            entryNameFor(programPath, own));
        !defaults)
        return defaults;
    runIfPresent(environment, QStringLiteral("update-desktop-database"), {applicationsFolder(environment)});
    return {};
}

Result<void> registerListAssociation(const AssociationEnvironment& environment, const QString& programPath)
{
    const QString mimeFolder = QDir(environment.dataHome).filePath(QStringLiteral("mime"));
    // Each step runs only when the one before succeeded.
    const std::function<Result<void>()> steps[] = {
        [&] { return writeEntry(environment, programPath, true); },
        [&] { return writeUtf8File(mimeFolder + QStringLiteral("/packages/kivamo-playlist.xml"), mimePackageText()); },
        [&] { return writeUtf8File(iconPath(environment, kPlayListMimeType), listFileIconSvg()); },
        [&] { return setDefaults(environment, {kPlayListMimeType}, kDesktopEntryName); },
    };
    for (const auto& step : steps) {
        if (Result<void> done = step(); !done)
            return done;
    }
    runIfPresent(environment, QStringLiteral("update-mime-database"), {mimeFolder});
    runIfPresent(environment, QStringLiteral("update-desktop-database"), {applicationsFolder(environment)});
    return {};
}

Result<void> registerAtStartup(const AssociationEnvironment& environment, const QString& programPath, bool command,
                               bool onOpticalOrReadOnlyMedia)
{
    if (onOpticalOrReadOnlyMedia)
        return {};
    if (command) {
        if (Result<void> movie = registerMovieAssociation(environment, programPath); !movie)
            return movie;
    }
    return registerListAssociation(environment, programPath);
}

std::optional<QString> defaultMovieHandlerProgram(const AssociationEnvironment& environment)
{
    const QString defaults =
        readKeyFileValue(readUtf8File(mimeAppsListPath(environment)), kDefaultsSection, kMovieMimeTypes[0]);
    const QString entry = defaults.split(u';', Qt::SkipEmptyParts).value(0).trimmed();
    if (entry.isEmpty() || entry.contains(u'/'))
        return std::nullopt;
    // The user's entries hide system-wide ones of the same name.
    QStringList folders{applicationsFolder(environment)};
    for (const QString& dir : environment.dataDirs)
        folders.append(QDir(dir).filePath(QStringLiteral("applications")) + u'/');
    QString found;
    for (const QString& folder : folders) {
        if (QFileInfo(folder + entry).isFile()) {
            found = folder + entry;
            break;
        }
    }
    if (found.isEmpty())
        return std::nullopt;
    const QString exec =
        readKeyFileValue(readUtf8File(found), QStringLiteral("Desktop Entry"), QStringLiteral("Exec"));
    const QStringList arguments = splitDesktopExec(exec);
    return arguments.value(0);
}

bool registerItemEnabled(const AssociationEnvironment& environment, const QString& programPath, bool currentlyEnabled)
{
    const std::optional<QString> handler = defaultMovieHandlerProgram(environment);
    if (!handler)
        return currentlyEnabled;
    return *handler != programPath;
}

void registerMovieAssociationCommand(const AssociationEnvironment& environment, Prompts& prompts,
                                     const QString& programPath)
{
    if (Result<void> done = registerMovieAssociation(environment, programPath); !done) {
        reportError(prompts, done.error().message);
        return;
    }
    MessagePrompt prompt;
    prompt.caption = QStringLiteral("设置成功");
    prompt.text = QStringLiteral("文件关联设置成功，双击SWF文件时会用本播放器打开。");
    prompt.icon = PromptIcon::Information;
    prompt.buttons = PromptButton::Ok;
    prompt.stayOnTop = true;
    prompts.message(prompt);
}

}  // namespace kivamo
