#include "app/ui/tfabout.h"

#include "app/ui/artwork.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QWindow>

namespace {

const QString kProductCaption = QStringLiteral("Kivamo flash播放器 V0.9.3.12 Beta");

}  // namespace

TFabout::TFabout(bool mainWindowExists, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("TFabout"));
    setWindowTitle(QStringLiteral("关于"));
    setAccessibleName(QStringLiteral("关于"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(501, 262);
    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(12);
    setFont(font);

    IMG_1 = new QLabel(this);
    IMG_1->setObjectName(QStringLiteral("IMG_1"));
    IMG_1->setGeometry(0, 0, 501, 262);
    IMG_1->setPixmap(kivamo::namedPicture(QStringLiteral("about")).pixmap(QSize(501, 262), devicePixelRatioF()));
    IMG_1->setAccessibleName(QStringLiteral("Kivamo"));
    IMG_1->installEventFilter(this);

    const QColor white(Qt::white);
    const QColor yellow(Qt::yellow);
    LAB_caption = addLabel("LAB_caption", QStringLiteral("Kivamo flash播放器"), 224, 152, white);
    LAB_plugVer = addLabel("LAB_plugVer", QStringLiteral("插件版本号："), 224, 172, white);
    LAB_plugVer->setFixedWidth(257);
    LAB_2 = addLabel("LAB_2", QStringLiteral("作者：Kivamo 开发组"), 224, 193, white);
    LAB_1 = addLabel("LAB_1", QStringLiteral("版权所有 (C) Kivamo 开发组"), 224, 213, white);
    LAB_loading = addLabel("LAB_loading", QStringLiteral("程序初始化..."), 224, 235, yellow);
    LAB_CLOSE = addLabel("LAB_CLOSE", QStringLiteral("关闭"), 444, 235, yellow);
    LAB_CLOSE->setCursor(Qt::PointingHandCursor);
    LAB_CLOSE->setAccessibleDescription(QStringLiteral("关闭关于窗口"));
    LAB_CLOSE->installEventFilter(this);
    FormCreate(mainWindowExists);
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

QLabel* TFabout::addLabel(const char* name, const QString& text, int left, int top, const QColor& colour)
{
    auto* label = new QLabel(text, this);
    label->setObjectName(QString::fromLatin1(name));
    label->setAttribute(Qt::WA_TranslucentBackground);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    label->move(left, top);
    label->adjustSize();
    label->setAccessibleName(text);
    return label;
}

void TFabout::FormCreate(bool mainWindowExists)
{
    // Empty until the composition root reads the engine's version record.
    setPluginVersion(QString());
    LAB_caption->setText(kProductCaption);
    LAB_caption->setAccessibleName(kProductCaption);
    LAB_caption->adjustSize();
    LAB_CLOSE->setVisible(mainWindowExists);
    LAB_loading->setVisible(!mainWindowExists);
    if (!mainWindowExists)
        setWindowModality(Qt::NonModal);
}

void TFabout::setPluginVersion(const QString& version)
{
    LAB_plugVer->setText(QStringLiteral("插件版本号：") + version);
    LAB_plugVer->adjustSize();
}

void TFabout::LAB_CLOSEClick()
{
    close();
}

bool TFabout::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::MouseButtonPress)
        return QWidget::eventFilter(watched, event);
    if (watched == LAB_CLOSE) {
        LAB_CLOSEClick();
        return true;
    }
    if (watched == IMG_1 && windowHandle()) {
        windowHandle()->startSystemMove();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
