// The control bar's picture buttons: one glyph drawn over three looks (idle, pressed, and released
// under the mouse), and the play-state symbol label that shows the Webdings play, pause and eject marks.
#pragma once

#include <QAbstractButton>
#include <QIcon>
#include <QLabel>

namespace kivamo {

class PictureButton : public QAbstractButton {
    Q_OBJECT
public:
    PictureButton(const QIcon& glyph, QWidget* parent = nullptr);
    void setGlyph(const QIcon& glyph);

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    QIcon m_glyph;
    bool m_hovered = false;
};

// Keeps the text the player sets ("4" playing, ";" halted, "<" not loaded) and draws the mark.
class StateSymbolLabel : public QLabel {
    Q_OBJECT
public:
    explicit StateSymbolLabel(QWidget* parent = nullptr);
    void setSymbol(const QString& symbol);

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace kivamo
