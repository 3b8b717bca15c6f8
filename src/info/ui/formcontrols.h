// Small builders for the controls of the dialogs: each gets its given name as objectName, an
// accessible name and description, and its design geometry.
#pragma once

#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRect>
#include <QString>
#include <QWidget>

namespace kivamo::form {

// Names the widget, places it and describes it to screen readers; the description is the hint,
// and a control without a hint is described by its role.
template <typename Widget>
Widget* named(Widget* widget, const char* name, const QString& accessibleName, const QRect& geometry,
              const QString& description)
{
    widget->setObjectName(QString::fromLatin1(name));
    widget->setAccessibleName(accessibleName);
    widget->setAccessibleDescription(description);
    widget->setGeometry(geometry);
    return widget;
}

inline QLabel* label(QWidget* parent, const char* name, const QString& caption, const QRect& geometry,
                     const QString& description)
{
    return named(new QLabel(caption, parent), name, caption, geometry, description);
}

inline QPushButton* button(QWidget* parent, const char* name, const QString& caption, const QRect& geometry,
                           const QString& description)
{
    return named(new QPushButton(caption, parent), name, caption, geometry, description);
}

// A labelled edit: the edit under its given name and its label (name + "Label") above it, the label
// being the edit's buddy so that screen readers and mnemonics reach the edit through it.
struct LabelledEdit {
    QLineEdit* edit = nullptr;
    QLabel* label = nullptr;
};
inline LabelledEdit labelledEdit(QWidget* parent, const char* name, const QString& caption, const QRect& geometry,
                                 const QString& description)
{
    LabelledEdit result;
    result.edit = named(new QLineEdit(parent), name, caption, geometry, description);
    const QByteArray labelName = QByteArray(name) + "Label";
    result.label = named(new QLabel(caption, parent), labelName.constData(), caption,
                         QRect(geometry.left(), geometry.top() - 16, geometry.width(), 14), description);
    result.label->setBuddy(result.edit);
    return result;
}

// The dialogs' design font: 宋体 at 12 pixels.
inline QFont songtiFont()
{
    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(12);
    return font;
}

}  // namespace kivamo::form
