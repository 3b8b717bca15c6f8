#include "platform/inifile.h"

#include "platform/textfile.h"

#include <QFile>

#define SI_NO_CONVERSION
// Debian ships the template bodies behind SI_IMPLEMENTATION; compiling them here keeps the header-only use.
#define SI_IMPLEMENTATION
#include <SimpleIni.h>

#include <limits>

namespace kivamo {

// The text is kept in UTF-8 inside SimpleIni; conversion to and from GB18030 happens at the file.
struct IniFile::Data {
    Data() { ini.SetSpaces(false); }  // "key=value", as private-profile writers put it
    CSimpleIniA ini{false, false, false};  // the "A" template ignores case in names
};

IniFile::IniFile() : m_data(std::make_unique<Data>()) {}
IniFile::~IniFile() = default;
IniFile::IniFile(IniFile&&) noexcept = default;
IniFile& IniFile::operator=(IniFile&&) noexcept = default;

IniFile IniFile::fromText(const QString& text)
{
    IniFile file;
    QByteArray utf8 = text.toUtf8();
    file.m_data->ini.LoadData(utf8.constData(), static_cast<size_t>(utf8.size()));
    return file;
}

IniFile IniFile::load(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return IniFile();
    return fromText(decodeGb18030(file.readAll()));
}

bool IniFile::contains(const QString& section, const QString& key) const
{
    return m_data->ini.GetValue(section.toUtf8().constData(), key.toUtf8().constData(), nullptr) != nullptr;
}

QString IniFile::readString(const QString& section, const QString& key, const QString& defaultValue) const
{
    const char* value = m_data->ini.GetValue(section.toUtf8().constData(), key.toUtf8().constData(), nullptr);
    QString text = value ? QString::fromUtf8(value) : defaultValue;
    return text.left(kMaxStringLength);
}

std::optional<int> parseProfileInteger(const QString& raw)
{
    QString text = raw.trimmed();
    bool negative = false;
    if (text.startsWith(u'-') || text.startsWith(u'+')) {
        negative = text.startsWith(u'-');
        text = text.mid(1);
    }
    int base = 10;
    if (text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
        base = 16;
        text = text.mid(2);
    }
    if (text.isEmpty())
        return std::nullopt;
    for (QChar c : text) {
        char16_t u = c.unicode();
        bool decimal = u >= u'0' && u <= u'9';
        bool hex = decimal || (u >= u'a' && u <= u'f') || (u >= u'A' && u <= u'F');
        bool digit = base == 10 ? decimal : hex;
        if (!digit)
            return std::nullopt;
    }
    bool ok = false;
    qlonglong magnitude = text.toLongLong(&ok, base);
    if (!ok)
        return std::nullopt;
    qlonglong value = negative ? -magnitude : magnitude;
    // Hexadecimal spellings of negative numbers ("0xFFFFFFFF") wrap as a 32-bit value would.
    if (base == 16 && !negative && value <= 0xFFFFFFFFLL)
        return static_cast<int>(static_cast<quint32>(value));
    if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max())
        return std::nullopt;
    return static_cast<int>(value);
}

int IniFile::readInteger(const QString& section, const QString& key, int defaultValue) const
{
    const char* value = m_data->ini.GetValue(section.toUtf8().constData(), key.toUtf8().constData(), nullptr);
    if (!value)
        return defaultValue;
    return parseProfileInteger(QString::fromUtf8(value)).value_or(defaultValue);
}

bool IniFile::readBool(const QString& section, const QString& key, bool defaultValue) const
{
    return readInteger(section, key, defaultValue ? 1 : 0) != 0;
}

void IniFile::writeString(const QString& section, const QString& key, const QString& value)
{
    // A line break inside a value would start a new line in the file; private-profile writers
    // never produced one, so it is kept out.
    QString single = value;
    single.replace(u'\r', u' ').replace(u'\n', u' ');
    m_data->ini.SetValue(section.toUtf8().constData(), key.toUtf8().constData(), single.toUtf8().constData());
}

void IniFile::writeInteger(const QString& section, const QString& key, int value)
{
    writeString(section, key, QString::number(value));
}

void IniFile::writeBool(const QString& section, const QString& key, bool value)
{
    writeString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

QString IniFile::toText() const
{
    std::string out;
    m_data->ini.Save(out);
    return QString::fromUtf8(out.data(), static_cast<qsizetype>(out.size()));
}

Result<void> IniFile::save(const QString& path) const
{
    QString text = toText();
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\n', QStringLiteral("\r\n"));
    auto written = writeFileAtomically(path, encodeGb18030(text));
    if (!written)
        return makeError(ErrorKind::WriteFailed, QStringLiteral("Unable to write to %1").arg(path));
    return {};
}

}  // namespace kivamo
