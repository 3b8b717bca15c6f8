// What the engine knows of a movie beyond the fixed header: the real frame size, frame count and
// rate of compressed movies too, the ActionScript version and the number of scripts. The details
// window shows these in their own group, apart from the header labels.
#pragma once

#include <QString>
#include <QStringList>

namespace kivamo {

struct EngineFacts {
    bool known = false;   // the engine could read the movie's container
    QString compression;  // "none", "zlib" or "lzma"
    int version = 0;
    double width = 0;     // pixels, from twips
    double height = 0;
    int declaredFrames = 0;   // the header's frame count
    int shownFrames = 0;      // ShowFrame tags of the root timeline
    double framesPerSecond = 0;
    bool actionScript3 = false;
    int scripts = 0;          // DoAction and DoInitAction blocks
    bool truncated = false;   // fewer bytes than the header declares
    QString error;            // why the movie could not be read
};

EngineFacts readEngineFacts(const QString& path);

// The group's lines: "实际尺寸：", "实际帧数：", "实际帧率：", "脚本版本：", "脚本数量：", or one
// "引擎无法读取：" line with the reason.
QStringList engineFactLines(const EngineFacts& facts);

}  // namespace kivamo
