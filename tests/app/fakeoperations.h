// A StartupOperations that records each call as a line of text, and whose play list grows when a
// movie is added or a list file is opened, so start-up tests can check what ran and in which order.
#pragma once

#include "core/startupoperations.h"

#include <QStringList>

namespace kivamo::test {

class RecordingOperations : public StartupOperations {
public:
    int entriesInListFiles = 2;  // entries a list file opened by the fake holds

    void resetPlayer() override { calls << QStringLiteral("reset"); }
    void newList() override
    {
        calls << QStringLiteral("new list");
        entries = 0;
    }
    void openListFile(const QString& path) override
    {
        calls << QStringLiteral("open ") + path;
        entries = entriesInListFiles;
    }
    void clearListModified() override { calls << QStringLiteral("clear modified"); }
    void addFileFromOutside(const QString& path, bool doubleClick) override
    {
        calls << QStringLiteral("add %1 %2").arg(path).arg(int(doubleClick));
        ++entries;
    }
    int entryCount() const override { return entries; }
    int currentIndex() const override { return index; }
    void setCurrentIndex(int value) override
    {
        calls << QStringLiteral("index %1").arg(value);
        index = value;
    }
    void playCurrentEntry() override { calls << QStringLiteral("play"); }
    QString currentListFile() const override { return listFile; }
    void refreshListTitle() override { calls << QStringLiteral("title"); }
    void registerAssociations(bool movieType) override
    {
        calls << QStringLiteral("associate %1").arg(int(movieType));
    }

    QStringList calls;
    int entries = 0;
    int index = -1;
    QString listFile;
};

}  // namespace kivamo::test
