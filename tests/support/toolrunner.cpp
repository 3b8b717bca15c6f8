#include "support/toolrunner.h"

#include <QProcess>

namespace kivamo::test {

#ifndef KIVAMO_BIN_DIR
#define KIVAMO_BIN_DIR ""
#endif

ToolRun runTool(const QString& program, const QStringList& arguments, int timeoutMs)
{
    ToolRun run;
    QProcess process;
    process.start(QStringLiteral(KIVAMO_BIN_DIR "/") + program, arguments);
    if (!process.waitForStarted(timeoutMs) || !process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        run.crashed = true;
        return run;
    }
    run.crashed = process.exitStatus() != QProcess::NormalExit;
    run.exitCode = process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

QList<QPair<QString, QString>> keyValueLines(const QString& text)
{
    QList<QPair<QString, QString>> pairs;
    for (const QString& line : text.split(u'\n', Qt::SkipEmptyParts)) {
        qsizetype colon = line.indexOf(QStringLiteral(": "));
        if (colon > 0)
            pairs.append({line.left(colon), line.mid(colon + 2)});
    }
    return pairs;
}

QString valueOf(const QString& text, const QString& key)
{
    for (const auto& pair : keyValueLines(text)) {
        if (pair.first == key)
            return pair.second;
    }
    return {};
}

}  // namespace kivamo::test
