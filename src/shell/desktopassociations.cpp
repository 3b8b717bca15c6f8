#include "shell/desktopassociations.h"

namespace kivamo {

std::optional<bool> DesktopAssociations::movieAssociationOpensProgram(const QString& programPath) const
{
    std::optional<QString> handler = defaultMovieHandlerProgram(m_environment);
    if (!handler)
        return std::nullopt;
    // Compared exactly: a path that differs in letter case is another program.
    return *handler == programPath;
}

Result<void> DesktopAssociations::registerMovieAssociation(const QString& programPath)
{
    return kivamo::registerMovieAssociation(m_environment, programPath);
}

}  // namespace kivamo
