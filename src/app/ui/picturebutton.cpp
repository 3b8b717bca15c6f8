#include "app/ui/picturebutton.h"

#include <QPainter>
#include <QPainterPath>

namespace kivamo {

PictureButton::PictureButton(const QIcon& glyph, QWidget* parent) : QAbstractButton(parent), m_glyph(glyph)
{
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::NoFocus);
}

void PictureButton::setGlyph(const QIcon& glyph)
{
    m_glyph = glyph;
    update();
}

void PictureButton::enterEvent(QEnterEvent* event)
{
    m_hovered = true;
    update();
    QAbstractButton::enterEvent(event);
}

void PictureButton::leaveEvent(QEvent* event)
{
    m_hovered = false;
    update();
    QAbstractButton::leaveEvent(event);
}

void PictureButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal side = qMin(width(), height()) - 2;
    const QRectF disc((width() - side) / 2.0, (height() - side) / 2.0, side, side);
    QLinearGradient fill(disc.topLeft(), disc.bottomLeft());
    const bool down = isDown();
    const QColor light = down ? QColor(0x9d, 0xb0, 0xd8) : m_hovered ? QColor(0xff, 0xff, 0xff) : QColor(0xf7, 0xf5, 0xef);
    const QColor dark = down ? QColor(0xe6, 0xec, 0xf8) : m_hovered ? QColor(0xc9, 0xd8, 0xf5) : QColor(0xd6, 0xd2, 0xc6);
    fill.setColorAt(0, light);
    fill.setColorAt(1, dark);
    painter.setBrush(fill);
    painter.setPen(QPen(QColor(0x8a, 0x94, 0xae), 1));
    painter.drawEllipse(disc);
    const qreal glyphSide = side * 0.55;
    const QRectF glyphRect(disc.center().x() - glyphSide / 2, disc.center().y() - glyphSide / 2 + (down ? 1 : 0),
                           glyphSide, glyphSide);
    m_glyph.paint(&painter, glyphRect.toRect(), Qt::AlignCenter, isEnabled() ? QIcon::Normal : QIcon::Disabled);
}

StateSymbolLabel::StateSymbolLabel(QWidget* parent) : QLabel(parent)
{
    setSymbol(QStringLiteral("<"));
}

void StateSymbolLabel::setSymbol(const QString& symbol)
{
    setText(symbol);
    if (symbol == QLatin1String("4"))
        setAccessibleName(QStringLiteral("播放"));
    else if (symbol == QLatin1String(";"))
        setAccessibleName(QStringLiteral("暂停"));
    else
        setAccessibleName(QStringLiteral("未载入"));
    update();
}

void StateSymbolLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), palette().window());
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(Qt::yellow));
    const QRectF box = QRectF(rect()).adjusted(3, 3, -3, -3);
    const QString symbol = text();
    if (symbol == QLatin1String("4")) {
        QPainterPath triangle;
        triangle.moveTo(box.left() + 1, box.top());
        triangle.lineTo(box.right(), box.center().y());
        triangle.lineTo(box.left() + 1, box.bottom());
        triangle.closeSubpath();
        painter.drawPath(triangle);
    } else if (symbol == QLatin1String(";")) {
        const qreal bar = box.width() / 3;
        painter.drawRect(QRectF(box.left(), box.top(), bar, box.height()));
        painter.drawRect(QRectF(box.right() - bar, box.top(), bar, box.height()));
    } else {
        QPainterPath roof;
        roof.moveTo(box.center().x(), box.top());
        roof.lineTo(box.right(), box.top() + box.height() * 0.6);
        roof.lineTo(box.left(), box.top() + box.height() * 0.6);
        roof.closeSubpath();
        painter.drawPath(roof);
        painter.drawRect(QRectF(box.left(), box.bottom() - box.height() * 0.22, box.width(), box.height() * 0.22));
    }
}

}  // namespace kivamo
