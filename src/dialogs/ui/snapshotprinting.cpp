#include "dialogs/ui/snapshotprinting.h"

#include "dialogs/printing.h"

#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

namespace kivamo {

bool anyPrinterInstalled()
{
    return !QPrinterInfo::availablePrinterNames().isEmpty();
}

bool printSnapshot(Prompts& prompts, const SnapshotSource& source, bool printerInstalled, QPrinter& printer)
{
    if (!source.controlExists || !source.movieLoaded)
        return false;
    if (!checkPrinterInstalled(prompts, printerInstalled))
        return false;
    if (!prompts.choosePrinter(printer))
        return false;
    const QImage picture = source.capture ? source.capture() : QImage();
    // Printer coordinates: one unit per printer dot, origin at the printable area's corner.
    printer.setFullPage(false);
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    drawPrintedPicture(painter, picture);
    return painter.end();
}

}  // namespace kivamo
