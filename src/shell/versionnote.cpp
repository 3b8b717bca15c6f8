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

namespace detail {

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

}  // namespace detail

// The build asks the linker for this symbol (src/CMakeLists.txt), so every program that links
// kivamo_core carries the record; "used" keeps it although nothing reads it through the symbol.
extern "C" {
extern const detail::VersionNote kivamo_version_note;
__attribute__((section(".note.kivamo.version"), used, aligned(4))) const detail::VersionNote kivamo_version_note = {
    sizeof(kVersionNoteName),
    sizeof(KIVAMO_VERSION_NOTE_TEXT),
    kVersionNoteType,
    "Kivamo",
    KIVAMO_VERSION_NOTE_TEXT,
};
}

const void* versionNoteAnchor()
{
    return &kivamo_version_note;
}

}  // namespace kivamo
