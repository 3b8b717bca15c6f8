// Runs a built program of the project and collects its exit status and output, for tests of the tools.
#pragma once

#include <QString>
#include <QStringList>

namespace kivamo::test {

struct ToolRun {
    int exitCode = -1;
    bool crashed = false;  // ended by a signal or did not finish
    QString out;
    QString err;
};

// Runs bin/<program> from the build tree with the arguments; gives up after timeoutMs.
ToolRun runTool(const QString& program, const QStringList& arguments, int timeoutMs = 60000);

// Parses "key: value" lines.
QList<QPair<QString, QString>> keyValueLines(const QString& text);
QString valueOf(const QString& text, const QString& key);

}  // namespace kivamo::test
