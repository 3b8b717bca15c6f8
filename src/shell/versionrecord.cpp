#include "shell/versionrecord.h"

#include <QFile>

namespace kivamo {

namespace {

constexpr std::uint32_t kSectionTypeNote = 7;  // SHT_NOTE
constexpr qint64 kLargestNoteSection = 1 << 20;

// Reads unsigned fields of the file's byte order from a buffer; out-of-range reads give 0 and
// mark the reader failed, so a damaged file ends in "no record", never in a wild read.
class FieldReader {
public:
    FieldReader(const QByteArray& bytes, bool bigEndian) : m_bytes(bytes), m_bigEndian(bigEndian) {}

    std::uint64_t read(qint64 offset, int size)
    {
        if (offset < 0 || offset + size > m_bytes.size()) {
            m_failed = true;
            return 0;
        }
        std::uint64_t value = 0;
        for (int i = 0; i < size; ++i) {
            const std::uint64_t byte = std::uint8_t(m_bytes[offset + (m_bigEndian ? i : size - 1 - i)]);
            value = (value << 8) | byte;
        }
        return value;
    }
    bool failed() const { return m_failed; }

private:
    const QByteArray& m_bytes;
    bool m_bigEndian;
    bool m_failed = false;
};

struct Section {
    std::uint64_t offset = 0;
    std::uint64_t size = 0;
    std::uint64_t alignment = 0;
};

std::vector<Section> noteSections(QFile& file)
{
    const QByteArray header = file.read(64);
    if (header.size() < 52 || !header.startsWith("\x7f" "ELF"))
        return {};
    const bool wide = header[4] == 2;
    FieldReader fields(header, header[5] == 2);
    const std::uint64_t tableOffset = wide ? fields.read(0x28, 8) : fields.read(0x20, 4);
    const int entrySize = int(fields.read(wide ? 0x3A : 0x2E, 2));
    const int count = int(fields.read(wide ? 0x3C : 0x30, 2));
    // A table that cannot fit in the file is damaged; nothing larger than the file is ever read.
    if (fields.failed() || entrySize < (wide ? 64 : 40) || tableOffset > std::uint64_t(file.size())
        || qint64(entrySize) * count > file.size() - qint64(tableOffset) || !file.seek(qint64(tableOffset)))
        return {};
    const QByteArray table = file.read(qint64(entrySize) * count);
    FieldReader entries(table, header[5] == 2);
    std::vector<Section> sections;
    for (int i = 0; i < count; ++i) {
        const qint64 at = qint64(i) * entrySize;
        if (entries.read(at + 4, 4) != kSectionTypeNote)
            continue;
        const int word = wide ? 8 : 4;
        Section section;
        section.offset = entries.read(at + (wide ? 0x18 : 0x10), word);
        section.size = entries.read(at + (wide ? 0x20 : 0x14), word);
        section.alignment = entries.read(at + (wide ? 0x30 : 0x20), word);
        if (!entries.failed())
            sections.push_back(section);
    }
    return sections;
}

std::optional<QByteArray> findNote(const QByteArray& bytes, bool bigEndian, std::uint64_t alignment,
                                   const QByteArray& owner, std::uint32_t type)
{
    const qint64 align = alignment == 8 ? 8 : 4;
    auto pad = [align](qint64 size) { return (size + align - 1) / align * align; };
    FieldReader fields(bytes, bigEndian);
    for (qint64 at = 0; at + 12 <= bytes.size();) {
        const qint64 nameSize = qint64(fields.read(at, 4));
        const qint64 descriptionSize = qint64(fields.read(at + 4, 4));
        const std::uint32_t noteType = std::uint32_t(fields.read(at + 8, 4));
        const qint64 nameAt = at + 12;
        const qint64 descriptionAt = nameAt + pad(nameSize);
        if (descriptionAt + descriptionSize > bytes.size())
            return std::nullopt;
        if (noteType == type && bytes.mid(nameAt, nameSize) == owner + '\0')
            return bytes.mid(descriptionAt, descriptionSize);
        at = descriptionAt + pad(descriptionSize);
    }
    return std::nullopt;
}

bool isBigEndianElf(QFile& file)
{
    file.seek(0);
    const QByteArray start = file.read(6);
    return start.size() == 6 && start[5] == 2;
}

}  // namespace

std::optional<QByteArray> readElfNote(const QString& fileName, const QByteArray& owner, std::uint32_t type)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const std::vector<Section> sections = noteSections(file);
    const bool bigEndian = isBigEndianElf(file);
    for (const Section& section : sections) {
        if (section.size > std::uint64_t(kLargestNoteSection) || !file.seek(qint64(section.offset)))
            continue;
        const QByteArray bytes = file.read(qint64(section.size));
        if (auto found = findNote(bytes, bigEndian, section.alignment, owner, type))
            return found;
    }
    return std::nullopt;
}

bool TFileVersionInfo::read()
{
    if (!QFileInfo(FileName).isFile())
        return false;
    const std::optional<QByteArray> record = readElfNote(FileName, QByteArray(kVersionNoteName), kVersionNoteType);
    if (!record)
        return false;
    QString* const fields[] = {&ProductName, &ProductVersion, &FileDescription, &LegalCopyright, &FileVersion,
                               &CompanyName, &LegalTrademarks, &InternalName, &OriginalFilename};
    const char* const names[] = {"ProductName", "ProductVersion", "FileDescription", "LegalCopyright", "FileVersion",
                                 "CompanyName", "LegalTrademarks", "InternalName", "OriginalFilename"};
    for (const QByteArray& entry : record->split('\0')) {
        const qsizetype equals = entry.indexOf('=');
        if (equals <= 0)
            continue;
        const QByteArray key = entry.left(equals);
        for (size_t i = 0; i < std::size(names); ++i)
            if (key == names[i])
                *fields[i] = QString::fromUtf8(entry.mid(equals + 1));
    }
    return true;
}

QString findPluginFile()
{
    // Naming the record here links it into every program that can ask for it.
    if (!versionNoteAnchor())
        return {};
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
}

QStringList pluginInfoLines(const TFileVersionInfo& info)
{
    return {QStringLiteral("当前插件信息："),
            QStringLiteral("内部名称：") + info.InternalName,
            QStringLiteral("原文件名：") + info.OriginalFilename,
            QStringLiteral("产品版本：") + info.ProductVersion,
            QStringLiteral("文件版本：") + info.FileVersion,
            QStringLiteral("文件说明：") + info.FileDescription,
            QStringLiteral("公司名称：") + info.CompanyName,
            QStringLiteral("合法版权：") + info.LegalCopyright,
            QStringLiteral("合法商标：") + info.LegalTrademarks};
}

void showPluginInfo(Prompts& prompts, const QString& pluginFile)
{
    if (pluginFile.isEmpty() || !QFileInfo(pluginFile).isFile())
        return;
    TFileVersionInfo info(pluginFile);
    if (!info.read())
        return;
    MessagePrompt prompt;
    prompt.caption = QStringLiteral("插件信息");
    prompt.text = pluginInfoLines(info).join(QStringLiteral("\r\n"));
    prompt.icon = PromptIcon::Information;
    prompt.buttons = PromptButton::Ok;
    prompt.stayOnTop = true;
    prompts.message(prompt);
}

}  // namespace kivamo
