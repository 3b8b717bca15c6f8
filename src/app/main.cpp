// Program entry of kivamo: single-instance hand-off, the splash, the main window and its services.
#include "app/handoff.h"
#include "app/appoperations.h"
#include "app/demolist.h"
#include "app/singleinstance.h"
#include "app/ui/artwork.h"
#include "app/ui/tfabout.h"
#include "app/ui/tmainform.h"
#include "core/playlist.h"
#include "info/browsercache.h"
#include "platform/filemanager.h"
#include "platform/screensaver.h"
#include "shell/versionrecord.h"
#include "player/playbackcontroller.h"
#include "player/programstarter.h"
#include "player/ui/tshockwaveflash.h"
#include "platform/directories.h"
#include "playlist/playlistmodel.h"
#include "platform/ui/qtprompts.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QUrl>
#include <QLoggingCategory>
#include <QNetworkAccessManager>
#include <QStandardPaths>

#include <cstdio>
#include <cstring>

Q_LOGGING_CATEGORY(lcStartup, "kivamo.startup", QtWarningMsg)

namespace {

constexpr int kHandOffTimeoutMs = 5000;

// A later start: write the joined arguments beside line 1 and wait until the running instance took them.
int laterStart(const QString& runtimeFile, const QString& serverName, const QStringList& arguments)
{
    const std::optional<kivamo::HandOffFile> file = kivamo::readHandOffFile(runtimeFile);
    if (!file || file->line1.isEmpty() || !kivamo::parseHandOffOwner(file->line1))
        return 0;
    const QString joined = kivamo::absoluteHandOffText(kivamo::joinHandOffArguments(arguments), QDir::currentPath());
    if (!kivamo::writeHandOffArguments(runtimeFile, file->line1, joined))
        return 0;
    kivamo::SingleInstance::sendHandOff(serverName, kHandOffTimeoutMs);
    return 0;
}

int firstStart(QApplication& app, kivamo::SingleInstance& instance, const QString& runtimeFile,
               const QStringList& arguments)
{
    kivamo::loadArtwork();
    kivamo::installFontSubstitutes();
    auto* splash = new TFabout(false);
    kivamo::TFileVersionInfo engine(kivamo::findPluginFile());
    if (engine.read())
        splash->setPluginVersion(engine.FileVersion);
    splash->show();
    splash->repaint();
    QFile::remove(runtimeFile);

    const kivamo::ProgramDirectory directory = kivamo::chooseProgramDirectory(kivamo::currentProgramDirectoryInputs());
    kivamo::QtPrompts prompts;
    kivamo::PlayList list;
    // Each movie gets a fresh engine widget, placed by the window once the window exists.
    QNetworkAccessManager network;
    Tmainform* movieWindow = nullptr;
    kivamo::FlashControlFactory createControl = kivamo::tshockwaveflashFactory(
        &network, [&movieWindow](kivamo::TShockwaveFlash& control) {
            control.setSharedObjectRoot(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
                                        QStringLiteral("/sharedobjects"));
            if (movieWindow)
                movieWindow->placeMovieControl(&control);
        });
    kivamo::DetachedProgramStarter programs;
    kivamo::DBusScreenSaverInhibitor screenSaver;
    kivamo::AppOperations operations(
        kivamo::AppServices{list, prompts, createControl, programs, screenSaver, directory.path,
                            QCoreApplication::applicationDirPath(),
                            [](const QUrl& url) { return QDesktopServices::openUrl(url); },
                            kivamo::findPluginFile()});
    const kivamo::AssociationEnvironment associations = kivamo::currentAssociationEnvironment();
    operations.setAssociations(associations, QCoreApplication::applicationFilePath());
    kivamo::MainFormServices services;
    services.operations = &operations;
    services.commands = &operations;
    services.prompts = &prompts;
    services.listContext = [&operations] { return operations.listContext(); };
    services.programDirectory = directory.path;
    services.programOnOpticalOrReadOnly = directory.executableOnOpticalOrReadOnly;
    services.associations = &associations;
    kivamo::DesktopFileManager fileManager;
    services.fileManager = &fileManager;
    services.cacheHome = kivamo::currentCacheHome();
    Tmainform form(services);
    movieWindow = &form;
    operations.attachView(form, form.startupSettings());
    auto* model = new kivamo::PlayListModel(list, [&operations] { return operations.movieLoaded(); }, &form);
    form.showPlayList(model, [&list] { return std::make_pair(list.titleText(), list.stateText()); });
    prompts.setParent(&form);
    form.FormCreate(arguments, splash, &app);
    operations.playback().applySettings();

    (void)kivamo::writeHandOffOwner(runtimeFile, QCoreApplication::applicationPid());
    QObject::connect(&instance, &kivamo::SingleInstance::handOffRequested, &form, [&form, runtimeFile] {
        qCInfo(lcStartup) << "hand-off:" << kivamo::readHandOffFile(runtimeFile).value_or(kivamo::HandOffFile()).line2;
        form.handOffReceived(runtimeFile);
    });
    form.show();
    qCInfo(lcStartup) << "ready";
    app.exec();
    // The movie widget is a child of the window, which goes first: the player lets go of it now.
    operations.resetPlayer();
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--version")) {
            std::printf("kivamo %s\n", KIVAMO_VERSION);
            return 0;
        }
        // Used by run.sh: lists the demo movies that kivamo-demos wrote into the folder.
        if (!std::strcmp(argv[i], "--write-demo-list") && i + 1 < argc) {
            const kivamo::Result<QString> written = kivamo::writeDemoList(QString::fromLocal8Bit(argv[i + 1]));
            if (!written) {
                std::fprintf(stderr, "kivamo: %s\n", qPrintable(written.error().message));
                return 1;
            }
            std::printf("%s\n", qPrintable(written.value()));
            return 0;
        }
        if (!std::strcmp(argv[i], "--help")) {
            std::printf("usage: kivamo [MOVIE.swf | LIST.kvl]\n");
            return 0;
        }
    }
    const kivamo::Result<QString> runtime = kivamo::runtimeDirectory();
    if (!runtime) {
        std::fprintf(stderr, "kivamo: %s\n", qPrintable(runtime.error().message));
        return 0;
    }
    const QString runtimeFile = kivamo::handOffFilePath(runtime.value());
    kivamo::SingleInstance instance(runtime.value());
    if (!instance.claim()) {
        // A later start shows nothing, so it needs no display.
        QCoreApplication core(argc, argv);
        QStringList arguments = core.arguments();
        arguments.removeFirst();
        return laterStart(runtimeFile, instance.serverName(), arguments);
    }
    QApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("kivamo"));
    app.setDesktopFileName(QStringLiteral("kivamo"));
    QStringList arguments = app.arguments();
    arguments.removeFirst();
    instance.listen();
    return firstStart(app, instance, runtimeFile, arguments);
}
