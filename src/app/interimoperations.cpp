#include "app/interimoperations.h"

namespace kivamo {

void InterimOperations::resetPlayer()
{
    m_flags = PlayerFlags();
    m_currentIndex = -1;
    if (m_display)
        m_display->showNotLoaded();
}

void InterimOperations::newList()
{
    resetPlayer();
}

void InterimOperations::openListFile(const QString&)
{
    resetPlayer();
}

void InterimOperations::addFileFromOutside(const QString&, bool) {}

void InterimOperations::runCommand(Command command)
{
    m_received.push_back(command);
    if (command == Command::Stop)
        resetPlayer();
}

}  // namespace kivamo
