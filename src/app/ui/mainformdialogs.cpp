// The main window's dialogs that act on the window itself: the options (which reload the startup
// settings in place) and the single snapshot of the movie area.
#include "app/ui/tmainform.h"
#include "core/flashcontrol.h"
#include "dialogs/snapshot.h"
#include "dialogs/ui/snapshotprinting.h"
#include "dialogs/ui/tfoption.h"
#include "dialogs/ui/tfpic.h"
#include "core/playlist.h"
#include "info/ui/tffdetail.h"
#include "core/settings.h"
#include "shell/ui/tfunsetassign.h"

#include <QCoreApplication>
#include "shell/desktopassociations.h"

#include <QImage>
#include <QLabel>
#include <QPrinter>

void Tmainform::N11Click()
{
    kivamo::OptionsServices services;
    services.programDirectory = m_services.programDirectory;
    services.programPath = QCoreApplication::applicationFilePath();
    services.prompts = m_services.prompts;
    services.applyOnTop = [this](bool on) {
        if (btn_CBOnTop->isChecked() != on)
            MNI_MOnTopClick();
    };
    // The player keeps a reference to the record, so it is refreshed where it stands.
    services.reloadSettings = [this] {
        m_settings = kivamo::loadSettingsFrom(m_services.programDirectory);
        m_services.commands->settingsReloaded();
    };
    // The dialog registers the movie association when asked; it owns the object for its lifetime.
    std::shared_ptr<kivamo::DesktopAssociations> associations;
    if (m_services.associations) {
        associations = std::make_shared<kivamo::DesktopAssociations>(*m_services.associations);
        services.associations = associations.get();
    }
    auto* dialog = new Tfoption(std::move(services), btn_CBOnTop->isChecked(), {}, this);
    connect(dialog, &QObject::destroyed, dialog, [associations] {});
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(Qt::ApplicationModal);
    dialog->show();
}

namespace {

kivamo::SnapshotServices snapshotServices(kivamo::Prompts* prompts, QLabel* statusLine)
{
    kivamo::SnapshotServices services;
    services.prompts = prompts;
    services.showStatus = [statusLine](const QString& text) { statusLine->setText(text); };
    return services;
}

// The movie area as it stands when the picture is taken.
std::function<QImage()> movieCapture(kivamo::CommandHandler* commands, QWidget* area)
{
    return [commands, area] {
        QImage picture(area->size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
        if (kivamo::FlashControl* control = commands->flashControl())
            control->paintInto(picture);
        return picture;
    };
}

}  // namespace

void Tmainform::TB_picClick()
{
    kivamo::CommandHandler* commands = m_services.commands;
    const kivamo::PlayerFlags flags = commands->playerFlags();
    kivamo::SnapshotSource source;
    source.controlExists = commands->flashControl() != nullptr;
    source.movieLoaded = flags.movieLoaded;
    source.moviePath = flags.currentMoviePath;
    source.capture = movieCapture(commands, pnl_main);
    kivamo::takeSingleSnapshot(snapshotServices(m_services.prompts, LAB_hint), source, m_services.programDirectory);
}

void Tmainform::MNI_contpicClick()
{
    kivamo::CommandHandler* commands = m_services.commands;
    if (!commands->playerFlags().movieLoaded || !commands->flashControl())
        return;
    kivamo::ContinuousSource source;
    source.controlExists = [commands] { return commands->flashControl() != nullptr; };
    source.movieLoaded = [commands] { return commands->playerFlags().movieLoaded; };
    source.moviePath = [commands] { return commands->playerFlags().currentMoviePath; };
    source.capture = movieCapture(commands, pnl_main);
    auto* dialog = new Tfpic(snapshotServices(m_services.prompts, LAB_hint), std::move(source),
                             m_services.programDirectory, this);
    dialog->show();
}

void Tmainform::MNI_printClick()
{
    kivamo::CommandHandler* commands = m_services.commands;
    const kivamo::PlayerFlags flags = commands->playerFlags();
    kivamo::SnapshotSource source;
    source.controlExists = commands->flashControl() != nullptr;
    source.movieLoaded = flags.movieLoaded;
    source.moviePath = flags.currentMoviePath;
    source.capture = movieCapture(commands, pnl_main);
    QPrinter printer;
    kivamo::printSnapshot(*m_services.prompts, source, kivamo::anyPrinterInstalled(), printer);
}

void Tmainform::TB_detailClick()
{
    if (!m_services.listContext)
        return;
    kivamo::PlayList& list = m_services.listContext().list;
    kivamo::CommandHandler* commands = m_services.commands;
    const kivamo::PlayerFlags flags = commands->playerFlags();
    const int current = flags.movieLoaded ? m_services.operations->currentIndex() : -1;
    const int target = current >= 0 ? current : list.firstSelected();
    if (target < 0 || target >= list.count())
        return;
    kivamo::NowPlayingInputs player;
    const kivamo::FlashControl* control = commands->flashControl();
    player.controlExists = control != nullptr;
    player.targetIsCurrent = target == current;
    player.movieLoaded = flags.movieLoaded;
    player.readyState = control ? control->ReadyState() : -1;
    player.quality2 = control ? control->Quality2() : QString();
    player.listName = list.listName();
    auto* dialog = new TFfdetail(list, *m_services.prompts, target, current, player, this);
    dialog->show();
}

void Tmainform::MNI_unsetassignClick()
{
    if (!m_services.associations)
        return;
    auto* dialog = new Tfunsetassign(*m_services.associations, *m_services.prompts,
                                     kivamo::settingsFilePath(m_services.programDirectory), this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->show();
}
