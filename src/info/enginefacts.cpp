#include "info/enginefacts.h"

#include "platform/textfile.h"
#include "swf/format/header.h"
#include "swf/format/summary.h"

#include <QFile>

namespace kivamo {

EngineFacts readEngineFacts(const QString& path)
{
    EngineFacts facts;
    swf::Result<swf::SwfFile> file = swf::loadSwfFile(QFile::encodeName(trimmed32(path)).toStdString());
    if (!file) {
        facts.error = QString::fromStdString(file.error());
        return facts;
    }
    const swf::Header& header = file->header;
    const swf::MovieSummary summary = swf::summarize(file.value());
    facts.known = true;
    facts.compression = QString::fromLatin1(swf::compressionName(header.compression));
    facts.version = header.version;
    facts.width = (double(header.frameSize.xMax) - header.frameSize.xMin) / 20.0;
    facts.height = (double(header.frameSize.yMax) - header.frameSize.yMin) / 20.0;
    facts.declaredFrames = header.frameCount;
    facts.shownFrames = int(summary.frames);
    facts.framesPerSecond = header.framesPerSecond();
    facts.actionScript3 = summary.actionScript3;
    facts.scripts = int(summary.scripts);
    facts.truncated = file->truncated;
    return facts;
}

QStringList engineFactLines(const EngineFacts& facts)
{
    if (!facts.known)
        return {QStringLiteral("引擎无法读取：") + facts.error};
    return {
        QStringLiteral("实际尺寸： %1 × %2").arg(facts.width).arg(facts.height),
        QStringLiteral("实际帧数： %1 帧").arg(facts.declaredFrames),
        QStringLiteral("实际帧率： %1 FPS").arg(facts.framesPerSecond),
        QStringLiteral("脚本版本： ") + (facts.actionScript3 ? QStringLiteral("ActionScript 3") : QStringLiteral("ActionScript 1/2")),
        QStringLiteral("脚本数量： %1").arg(facts.scripts),
    };
}

}  // namespace kivamo
