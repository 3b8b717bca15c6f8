// `TB_printClick`: prints the current picture on a printer the user picks in the print dialog.
#pragma once

#include "dialogs/snapshot.h"

#include <functional>

class QPrinter;

namespace kivamo {

// Whether the system knows any printer (QPrinterInfo).
bool anyPrinterInstalled();

// Checks for a printer, asks with the print dialog, captures, then prints one page. True when a job ran.
bool printSnapshot(Prompts& prompts, const SnapshotSource& source, bool printerInstalled, QPrinter& printer);

}  // namespace kivamo
