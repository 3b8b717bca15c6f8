#include "dialogs/printing.h"

#include <QPainter>

namespace kivamo {

bool checkPrinterInstalled(Prompts& prompts, bool printerInstalled)
{
    if (printerInstalled)
        return true;
    MessagePrompt prompt;
    prompt.caption = QStringLiteral("错误");
    prompt.text = QStringLiteral("你需要安装打印机才能打印！");
    prompt.icon = PromptIcon::Error;
    prompt.buttons = PromptButton::Ok;
    prompts.message(prompt);
    return false;
}

QRect printedPictureRect(const QSize& pictureSize)
{
    return QRect(QPoint(0, 0), pictureSize);
}

void drawPrintedPicture(QPainter& painter, const QImage& picture)
{
    painter.drawImage(printedPictureRect(picture.size()), picture);
}

}  // namespace kivamo
