// Printing the current picture: the missing-printer refusal and the placement of one picture pixel
// per printer dot at the top-left of the printable area.
#pragma once

#include "platform/prompts.h"

#include <QImage>
#include <QRect>

class QPainter;

namespace kivamo {

// False, after the message "你需要安装打印机才能打印！", when no printer is installed.
bool checkPrinterInstalled(Prompts& prompts, bool printerInstalled);

// The page rectangle the picture fills, in printer dots from the printable area's top-left corner.
QRect printedPictureRect(const QSize& pictureSize);

// Draws the picture unscaled at its rectangle on a painter opened on the printer.
void drawPrintedPicture(QPainter& painter, const QImage& picture);

}  // namespace kivamo
