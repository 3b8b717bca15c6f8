// INI files as Windows private-profile functions treat them: case-insensitive sections and keys,
// numbers in decimal or "0x" hexadecimal, "1"/"0" booleans; edits keep everything else in place.
#pragma once

#include "core/result.h"

#include <QString>

#include <memory>
#include <optional>

namespace kivamo {

class IniFile {
public:
    // Longest string a read returns, as the private-profile buffer allowed.
    static constexpr int kMaxStringLength = 2047;

    IniFile();
    ~IniFile();
    IniFile(IniFile&&) noexcept;
    IniFile& operator=(IniFile&&) noexcept;

    // Reads the file; a missing or unreadable file gives an empty one (every read then gives its default).
    static IniFile load(const QString& path);
    // Parses text already decoded.
    static IniFile fromText(const QString& text);

    bool contains(const QString& section, const QString& key) const;
    QString readString(const QString& section, const QString& key, const QString& defaultValue) const;
    // Decimal or "0x" hexadecimal, optionally signed, within 32 bits; anything else gives the default.
    int readInteger(const QString& section, const QString& key, int defaultValue) const;
    // An integer; non-zero is true.
    bool readBool(const QString& section, const QString& key, bool defaultValue) const;

    // Sets a key, keeping its place (and the spelling of its name) when it exists already.
    void writeString(const QString& section, const QString& key, const QString& value);
    void writeInteger(const QString& section, const QString& key, int value);
    void writeBool(const QString& section, const QString& key, bool value);

    // The file's text with LF line ends, as it would be saved.
    QString toText() const;
    // Writes the file whole (GB18030, CR LF); fails with "Unable to write to %s".
    Result<void> save(const QString& path) const;

private:
    struct Data;
    std::unique_ptr<Data> m_data;
};

// Parses a private-profile integer: optional sign, then decimal digits or "0x" and hex digits.
std::optional<int> parseProfileInteger(const QString& text);

}  // namespace kivamo
