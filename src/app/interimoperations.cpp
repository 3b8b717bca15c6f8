#include "app/interimoperations.h"

#include "core/playlist.h"
#include "core/settings.h"
#include "playlist/addmovies.h"
#include "playlist/listfile.h"

namespace kivamo {

namespace {

// Used until the main window hands in its settings: every default.
const Settings kDefaultSettings;

}  // namespace

InterimOperations::InterimOperations(PlayList& list, Prompts& prompts) : m_list(list), m_prompts(prompts) {}

ListContext InterimOperations::context()
{
    return ListContext{m_list, m_settings ? *m_settings : kDefaultSettings, m_prompts, *this};
}

void InterimOperations::resetPlayer()
{
    m_flags = PlayerFlags();
    m_currentIndex = -1;
    m_list.refreshTitle();
    m_list.markCurrentEntry(-1);
    if (m_display)
        m_display->showNotLoaded();
}

void InterimOperations::newList()
{
    ListContext list = context();
    kivamo::newList(list);
}

void InterimOperations::openListFile(const QString& path)
{
    ListContext list = context();
    kivamo::openListFile(list, path);
}

void InterimOperations::clearListModified()
{
    m_list.setModified(false);
}

void InterimOperations::addFileFromOutside(const QString& path, bool doubleClick)
{
    ListContext list = context();
    addFile(list, path, doubleClick);
}

int InterimOperations::entryCount() const
{
    return m_list.count();
}

QString InterimOperations::currentListFile() const
{
    return m_list.currentListFile();
}

void InterimOperations::refreshListTitle()
{
    m_list.refreshTitle();
}

void InterimOperations::runCommand(Command command)
{
    m_received.push_back(command);
    ListContext list = context();
    switch (command) {
    case Command::Stop: resetPlayer(); break;
    case Command::AddFiles: addFilesCommand(list); break;
    case Command::NewList: kivamo::newList(list); break;
    case Command::OpenList: openListCommand(list); break;
    case Command::SaveList: saveListCommand(list); break;
    default: break;
    }
}

}  // namespace kivamo
