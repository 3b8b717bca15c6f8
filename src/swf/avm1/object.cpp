#include "swf/avm1/object.h"

#include "swf/avm1/vm.h"
#include "swf/limits.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace swf::avm1 {

namespace {

// Lower case of the letters Flash folds before SWF 7: ASCII, Latin-1, the paired Latin, Greek and Cyrillic
// blocks. Other characters stay as they are.
char32_t foldUnit(char32_t c)
{
    if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7) || (c >= 0x391 && c <= 0x3AB) ||
        (c >= 0x410 && c <= 0x42F)) {
        return c + 0x20;
    }
    if (c >= 0x400 && c <= 0x40F) {
        return c + 0x50;
    }
    // The digraphs come in threes: capital, title case, small.
    if (c >= 0x1C4 && c <= 0x1CC) {
        return 0x1C6 + (c - 0x1C4) / 3 * 3;
    }
    if (c >= 0x1F1 && c <= 0x1F3) {
        return 0x1F3;
    }
    const bool pairedBlock = (c >= 0x100 && c <= 0x17F) || (c >= 0x460 && c <= 0x4FF) || (c >= 0x1E00 && c <= 0x1EFF);
    if (pairedBlock && c % 2 == 0) {
        return c + 1;
    }
    return c;
}

}  // namespace

bool Object::isProtoName(const std::string& name) const
{
    static const std::string kProto = "__proto__";
    return name.size() == kProto.size() && (name == kProto || (!m_caseSensitive && key(name) == kProto));
}

std::string Object::key(const std::string& name) const
{
    return m_caseSensitive ? name : foldedName(name);
}

std::string foldedName(const std::string& name)
{
    bool ascii = true;
    std::string folded = name;
    for (char& c : folded) {
        ascii = ascii && static_cast<unsigned char>(c) < 0x80;
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    if (ascii) {
        return folded;
    }
    std::u32string units = utf8ToUnits(name);
    for (char32_t& c : units) {
        c = foldUnit(c);
    }
    return unitsToUtf8(units);
}

Property* Object::findOwn(const std::string& name)
{
    const auto it = m_index.find(key(name));
    return it == m_index.end() ? nullptr : &m_properties[it->second];
}

const Property* Object::findOwn(const std::string& name) const
{
    const auto it = m_index.find(key(name));
    return it == m_index.end() ? nullptr : &m_properties[it->second];
}

Property& Object::put(const std::string& name, Value value, std::uint8_t flags)
{
    if (Property* existing = findOwn(name)) {
        existing->value = std::move(value);
        return *existing;
    }
    m_index.emplace(key(name), m_properties.size());
    m_properties.push_back(Property{name, std::move(value), nullptr, nullptr, flags});
    return m_properties.back();
}

bool Object::removeOwn(const std::string& name)
{
    const auto it = m_index.find(key(name));
    if (it == m_index.end()) {
        return false;
    }
    m_properties.erase(m_properties.begin() + std::ptrdiff_t(it->second));
    m_index.clear();
    for (std::size_t i = 0; i < m_properties.size(); ++i) {
        m_index.emplace(key(m_properties[i].name), i);
    }
    return true;
}

std::vector<const Property*> Object::ownProperties() const
{
    std::vector<const Property*> out;
    out.reserve(m_properties.size());
    for (const Property& p : m_properties) {
        out.push_back(&p);
    }
    return out;
}

long long arrayIndex(const std::string& name)
{
    if (name.empty() || name.size() > 10) {
        return -1;
    }
    long long value = 0;
    for (char c : name) {
        if (c < '0' || c > '9') {
            return -1;
        }
        value = value * 10 + (c - '0');
    }
    if (name.size() > 1 && name[0] == '0') {
        return -1;
    }
    return value < 4294967295LL ? value : -1;
}

bool wrappedIndex(const std::string& name, std::int32_t& out)
{
    const bool negative = !name.empty() && name[0] == '-';
    const std::size_t first = negative ? 1 : 0;
    if (name.size() == first) {
        return false;
    }
    std::uint32_t value = 0;
    for (std::size_t i = first; i < name.size(); ++i) {
        const char c = name[i];
        if (c < '0' || c > '9') {
            return false;
        }
        value = value * 10u + std::uint32_t(c - '0');  // wraps, as the length does
    }
    out = std::int32_t(negative ? 0u - value : value);
    return true;
}

bool KindObject::getSpecial(Vm&, const std::string&, Value&)
{
    return false;
}

}  // namespace swf::avm1
