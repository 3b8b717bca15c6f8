// Shared pieces of the dialog tests: a play list in a temporary folder, scripted prompts, and the
// checks every dialog must pass (names, descriptions, deletion on close).
#pragma once

#include "support/testapplication.h"
#include "core/playlist.h"
#include "support/scriptedprompts.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QWidget>

#include <gtest/gtest.h>

namespace kivamo::test {

inline void deletePending()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Every control tells a screen reader its name and its purpose.
inline void expectAccessible(const QWidget& window)
{
    for (const QWidget* control : window.findChildren<QWidget*>()) {
        if (control->objectName().isEmpty() || control->objectName().startsWith(QLatin1String("qt_")))
            continue;  // the inner parts of Qt's composite widgets
        EXPECT_FALSE(control->accessibleName().isEmpty()) << control->objectName().toStdString();
        EXPECT_FALSE(control->accessibleDescription().isEmpty()) << control->objectName().toStdString();
    }
}

inline QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline bool writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

struct DialogFixture {
    QTemporaryDir dir;
    PlayList list;
    ScriptedPrompts prompts;

    DialogFixture() { ensureApplication(); }

    // Appends an entry with the given title and path (its notes "未知") and returns its index.
    int add(const QString& title, const QString& path)
    {
        MovieEntry entry;
        entry.title = title;
        entry.path = path;
        list.append(entry);
        return list.count() - 1;
    }
    QString path(const QString& name) const { return dir.filePath(name); }
};

}  // namespace kivamo::test
