// The main window's dialogs that act on the window itself: the options (which reload the startup
// settings in place) and the single snapshot of the movie area.
#include "app/ui/tmainform.h"
#include "core/flashcontrol.h"
#include "dialogs/snapshot.h"
#include "dialogs/ui/tfoption.h"

#include <QCoreApplication>
#include <QImage>

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
    auto* dialog = new Tfoption(std::move(services), btn_CBOnTop->isChecked(), {}, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(Qt::ApplicationModal);
    dialog->show();
}

void Tmainform::TB_picClick()
{
    kivamo::SnapshotServices services;
    services.prompts = m_services.prompts;
    services.showStatus = [this](const QString& text) { LAB_hint->setText(text); };
    kivamo::CommandHandler* commands = m_services.commands;
    const kivamo::PlayerFlags flags = commands->playerFlags();
    kivamo::SnapshotSource source;
    source.controlExists = commands->flashControl() != nullptr;
    source.movieLoaded = flags.movieLoaded;
    source.moviePath = flags.currentMoviePath;
    const QSize size = pnl_flash->size().expandedTo(QSize(1, 1));
    source.capture = [commands, size] {
        QImage picture(size, QImage::Format_RGB32);
        if (kivamo::FlashControl* control = commands->flashControl())
            control->paintInto(picture);
        return picture;
    };
    kivamo::takeSingleSnapshot(services, source, m_services.programDirectory);
}
