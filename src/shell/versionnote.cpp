// The engine's version record, placed by the compiler into the ELF note section
// ".note.kivamo.version" of whatever file links the engine (the kivamo program, kivamo-swf).
// Note layout (ELF gABI): name size, description size, type, then the name and the description,
// each padded to four bytes. The description is "Key=Value" texts in UTF-8, each ending in NUL.

#include "shell/versionrecord.h"

#include <cstdint>

#ifndef KIVAMO_VERSION
#define KIVAMO_VERSION "0.0.0.0"
#endif

#define KIVAMO_VERSION_NOTE_TEXT                            \
    "ProductName=Kivamo\0"                                  \
    "ProductVersion=" KIVAMO_VERSION "\0"                   \
    "FileDescription=Kivamo SWF 播放引擎\0"                 \
    "LegalCopyright=Copyright (C) 2026 Kivamo 开发组\0"     \
    "FileVersion=" KIVAMO_VERSION "\0"                      \
    "CompanyName=Kivamo 开发组\0"                           \
    "LegalTrademarks=Kivamo\0"                              \
    "InternalName=kivamo_swf\0"                             \
    "OriginalFilename=kivamo\0"

namespace kivamo {

namespace {

constexpr std::size_t padded(std::size_t size)
{
    return (size + 3) / 4 * 4;
}

struct alignas(4) VersionNote {
    std::uint32_t nameSize;
    std::uint32_t descriptionSize;
    std::uint32_t type;
    char name[padded(sizeof(kVersionNoteName))];
    char description[padded(sizeof(KIVAMO_VERSION_NOTE_TEXT))];
};

// "used" keeps the record even though nothing reads it through the symbol.
__attribute__((section(".note.kivamo.version"), used)) const VersionNote kVersionNote = {
    sizeof(kVersionNoteName),
    sizeof(KIVAMO_VERSION_NOTE_TEXT),
    kVersionNoteType,
    "Kivamo",
    KIVAMO_VERSION_NOTE_TEXT,
};

}  // namespace

const void* versionNoteAnchor()
{
    return &kVersionNote;
}

}  // namespace kivamo
