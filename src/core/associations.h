// Associations: how the options dialog and the start-up code reach the desktop's file associations
// for movie files without knowing how the desktop stores them.
#pragma once

#include "core/result.h"

#include <QString>

#include <optional>

namespace kivamo {

class Associations {
public:
    virtual ~Associations() = default;

    // Whether movie files already open with the program at programPath; nothing when the desktop's
    // association records cannot be read (callers then keep what they showed before).
    virtual std::optional<bool> movieAssociationOpensProgram(const QString& programPath) const = 0;

    // Makes movie files open with the program at programPath.
    virtual Result<void> registerMovieAssociation(const QString& programPath) = 0;
};

}  // namespace kivamo
