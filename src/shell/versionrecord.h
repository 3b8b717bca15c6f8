// The engine's version record: `TFileVersionInfo` reads it from the ELF notes of a file, "find
// plug-in file" names the file that holds the engine, and the "插件信息" box shows it.
#pragma once

#include "platform/prompts.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

namespace kivamo {

// The note's owner name and type in the section ".note.kivamo.version".
inline constexpr char kVersionNoteName[] = "Kivamo";
inline constexpr std::uint32_t kVersionNoteType = 1;

// The record compiled into this program; referring to it keeps it in the linked file.
const void* versionNoteAnchor();

class TFileVersionInfo {
public:
    explicit TFileVersionInfo(QString fileName) : FileName(std::move(fileName)) {}

    // True when the file is an ELF file carrying the record; the fields present are then filled.
    bool read();

    QString FileName;
    QString ProductName;
    QString ProductVersion;
    QString FileDescription;
    QString LegalCopyright;
    QString FileVersion;
    QString CompanyName;
    QString LegalTrademarks;
    QString InternalName;
    QString OriginalFilename;
};

// The description bytes of the first note with this owner and type in the file's note sections.
std::optional<QByteArray> readElfNote(const QString& fileName, const QByteArray& owner, std::uint32_t type);

// The file that holds the engine: the running program (the engine is linked into it).
QString findPluginFile();

// The lines of the "插件信息" box.
QStringList pluginInfoLines(const TFileVersionInfo& info);
// The "插件信息" command: nothing when the file or its record is missing.
void showPluginInfo(Prompts& prompts, const QString& pluginFile);

}  // namespace kivamo
