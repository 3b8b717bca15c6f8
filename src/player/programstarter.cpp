#include "player/programstarter.h"

#include <QFileInfo>
#include <QProcess>

namespace kivamo {

bool DetachedProgramStarter::startDetached(const QString& program)
{
    return QProcess::startDetached(program, {});
}

QString execProgramPath(const QString& argument)
{
    if (argument.isEmpty())
        return {};
    const QFileInfo info(argument);
    if (!info.isFile() || !info.isExecutable())
        return {};
    return info.absoluteFilePath();
}

}  // namespace kivamo
