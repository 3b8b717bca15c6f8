// The About window TFabout: the splash while the main window is built ("程序初始化..."), and the
// About box afterwards ("关闭"); dragging the picture moves the borderless window.
#pragma once

#include <QLabel>
#include <QWidget>

class TFabout : public QWidget {
    Q_OBJECT
public:
    // mainWindowExists chooses the look: false for the splash, true for the About box.
    TFabout(bool mainWindowExists, QWidget* parent = nullptr);

    QLabel* IMG_1;
    QLabel* LAB_caption;
    QLabel* LAB_plugVer;
    QLabel* LAB_2;
    QLabel* LAB_1;
    QLabel* LAB_loading;
    QLabel* LAB_CLOSE;

    void FormCreate(bool mainWindowExists);
    // The engine's version from its version record, after "插件版本号：".
    void setPluginVersion(const QString& version);
    void LAB_CLOSEClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* addLabel(const char* name, const QString& text, int left, int top, const QColor& colour);
};
