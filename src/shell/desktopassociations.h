// The options window's view of the movie association, carried out in the freedesktop.org files.
#pragma once

#include "core/associations.h"
#include "shell/associations.h"

namespace kivamo {

class DesktopAssociations : public Associations {
public:
    explicit DesktopAssociations(AssociationEnvironment environment) : m_environment(std::move(environment)) {}

    std::optional<bool> movieAssociationOpensProgram(const QString& programPath) const override;
    Result<void> registerMovieAssociation(const QString& programPath) override;

private:
    AssociationEnvironment m_environment;
};

}  // namespace kivamo
