#include "swf/avm1/value.h"

#include <cmath>
#include <cstdlib>

namespace swf::avm1 {

std::string numberToRadixString(double n, int radix)
{
    if (radix == 10 || radix < 2 || radix > 36) {
        return numberToString(n);
    }
    if (std::isnan(n)) {
        return "NaN";
    }
    if (std::isinf(n)) {
        return n > 0 ? "Infinity" : "-Infinity";
    }
    // Flash converts through a 32-bit integer here.
    std::int32_t value = toInt32(n);
    const bool negative = value < 0;
    std::uint32_t magnitude = negative ? 0u - std::uint32_t(value) : std::uint32_t(value);
    std::string out;
    do {
        const unsigned digit = magnitude % unsigned(radix);
        out.insert(out.begin(), char(digit < 10 ? '0' + digit : 'a' + digit - 10));
        magnitude /= unsigned(radix);
    } while (magnitude != 0);
    return negative ? "-" + out : out;
}

namespace {

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

double parseHex(const std::string& s, std::size_t pos, bool negative)
{
    // Flash also takes a sign after the prefix ("0x-10").
    if (pos < s.size() && (s[pos] == '-' || s[pos] == '+')) {
        negative = negative != (s[pos] == '-');
        ++pos;
    }
    if (pos >= s.size()) {
        return NAN;
    }
    double value = 0;
    for (; pos < s.size(); ++pos) {
        const int d = hexDigit(s[pos]);
        if (d < 0) {
            return NAN;
        }
        value = value * 16 + d;
    }
    // Flash keeps hexadecimal literals in 32 bits, signed.
    const double wrapped = double(toInt32(value));
    return negative ? -wrapped : wrapped;
}

double parseDecimal(const std::string& s, std::size_t pos)
{
    const std::size_t start = pos;
    if (pos < s.size() && (s[pos] == '+' || s[pos] == '-')) {
        ++pos;
    }
    bool sawDigit = false;
    while (pos < s.size() && s[pos] >= '0' && s[pos] <= '9') {
        ++pos;
        sawDigit = true;
    }
    if (pos < s.size() && s[pos] == '.') {
        ++pos;
        while (pos < s.size() && s[pos] >= '0' && s[pos] <= '9') {
            ++pos;
            sawDigit = true;
        }
    }
    if (!sawDigit) {
        return NAN;
    }
    if (pos < s.size() && (s[pos] == 'e' || s[pos] == 'E')) {
        std::size_t e = pos + 1;
        if (e < s.size() && (s[e] == '+' || s[e] == '-')) {
            ++e;
        }
        while (e < s.size() && s[e] >= '0' && s[e] <= '9') {
            ++e;
        }
        pos = e;
    }
    if (pos != s.size()) {
        return NAN;
    }
    // An exponent mark with no digits after it ("2e", "-5e+") ends the number without changing it; strtod
    // reads it the same way.
    return std::strtod(s.c_str() + start, nullptr);
}

}  // namespace

double stringToNumber(const std::string& s, int version)
{
    std::size_t pos = 0;
    while (pos < s.size() && isSpace(s[pos])) {
        ++pos;
    }
    if (pos == s.size()) {
        return version <= 4 && s.empty() ? 0 : NAN;
    }
    // From SWF 6 a string that starts with "0x" is hexadecimal; white space or a sign before the prefix makes it
    // no number (" 0x2", "-0x2"), a sign after it is taken ("0x-2").
    if (version >= 6 && s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        return parseHex(s, 2, false);
    }
    // A leading zero followed by octal digits only is octal ("010" is 8), with a sign before it but no white space
    // (" 010" is 10).
    const std::size_t octalPos = pos == 0 && (s[0] == '-' || s[0] == '+') ? 1 : 0;
    if (version >= 6 && pos == 0 && octalPos + 1 < s.size() && s[octalPos] == '0' &&
        s.find_first_not_of("01234567", octalPos) == std::string::npos) {
        double value = 0;
        for (std::size_t i = octalPos; i < s.size(); ++i) {
            value = value * 8 + (s[i] - '0');
        }
        return s[0] == '-' ? -value : value;
    }
    return parseDecimal(s, pos);
}

namespace {

// SWF 4 reads the longest decimal number at the start of a string (after white space), and 0 when there is none.
double leadingDecimal(const std::string& s)
{
    std::size_t pos = 0;
    while (pos < s.size() && isSpace(s[pos])) {
        ++pos;
    }
    const std::size_t start = pos;
    if (pos < s.size() && (s[pos] == '-' || s[pos] == '+')) {
        ++pos;
    }
    bool digits = false;
    while (pos < s.size() && s[pos] >= '0' && s[pos] <= '9') {
        ++pos;
        digits = true;
    }
    if (pos < s.size() && s[pos] == '.') {
        ++pos;
        while (pos < s.size() && s[pos] >= '0' && s[pos] <= '9') {
            ++pos;
            digits = true;
        }
    }
    if (!digits) {
        return 0;
    }
    if (pos < s.size() && (s[pos] == 'e' || s[pos] == 'E')) {
        std::size_t e = pos + 1;
        if (e < s.size() && (s[e] == '-' || s[e] == '+')) {
            ++e;
        }
        if (e < s.size() && s[e] >= '0' && s[e] <= '9') {
            while (e < s.size() && s[e] >= '0' && s[e] <= '9') {
                ++e;
            }
            pos = e;
        }
    }
    return std::strtod(s.substr(start, pos - start).c_str(), nullptr);
}

}  // namespace

double primitiveToNumber(const Value& v, int version)
{
    switch (v.type()) {
    case Type::Undefined:
    case Type::Null:
        return version >= 7 ? NAN : 0;
    case Type::Boolean:
        return v.asBool() ? 1 : 0;
    case Type::Number:
        return v.asNumber();
    case Type::String: {
        if (version <= 4) {
            return leadingDecimal(v.asString());
        }
        return stringToNumber(v.asString(), version);
    }
    case Type::Object:
        break;
    }
    return NAN;
}

std::string primitiveToString(const Value& v, int version)
{
    switch (v.type()) {
    case Type::Undefined:
        return version >= 7 ? "undefined" : "";
    case Type::Null:
        return "null";
    case Type::Boolean:
        return v.asBool() ? "true" : "false";
    case Type::Number:
        return numberToString(v.asNumber());
    case Type::String:
        return v.asString();
    case Type::Object:
        break;
    }
    return "[object Object]";
}

bool toBoolean(const Value& v, int version)
{
    switch (v.type()) {
    case Type::Undefined:
    case Type::Null:
        return false;
    case Type::Boolean:
        return v.asBool();
    case Type::Number:
        return v.asNumber() != 0 && !std::isnan(v.asNumber());
    case Type::String:
        if (version >= 7) {
            return !v.asString().empty();
        } else {
            const double n = stringToNumber(v.asString(), version);
            return n != 0 && !std::isnan(n);
        }
    case Type::Object:
        return true;
    }
    return false;
}

std::int32_t toInt32(double n)
{
    if (!std::isfinite(n)) {
        return 0;
    }
    const double truncated = std::trunc(n);
    double wrapped = std::fmod(truncated, 4294967296.0);
    if (wrapped < 0) {
        wrapped += 4294967296.0;
    }
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(wrapped));
}

std::uint32_t toUint32(double n)
{
    return static_cast<std::uint32_t>(toInt32(n));
}

double toInteger(double n)
{
    if (std::isnan(n)) {
        return 0;
    }
    return std::trunc(n);
}

const char* primitiveTypeName(Type t)
{
    switch (t) {
    case Type::Undefined:
        return "undefined";
    case Type::Null:
        return "null";
    case Type::Boolean:
        return "boolean";
    case Type::Number:
        return "number";
    case Type::String:
        return "string";
    case Type::Object:
        break;
    }
    return "object";
}

std::u32string utf8ToUnits(const std::string& s)
{
    std::u32string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
        if (c >= 0x80 && c < 0xC0) {
            extra = 0;  // a stray continuation byte stands for itself
        }
        if (extra > 0 && i + std::size_t(extra) >= s.size()) {
            extra = 0;
        }
        char32_t cp = extra == 0 ? c : c & (0x3F >> extra);
        bool valid = true;
        for (int k = 1; k <= extra; ++k) {
            const unsigned char cc = static_cast<unsigned char>(s[i + std::size_t(k)]);
            if ((cc & 0xC0) != 0x80) {
                valid = false;
                break;
            }
            cp = (cp << 6) | (cc & 0x3F);
        }
        if (!valid) {
            out += char32_t(c);
            ++i;
            continue;
        }
        if (cp >= 0x10000 && cp <= 0x10FFFF) {
            out += char32_t(0xD800 + ((cp - 0x10000) >> 10));
            out += char32_t(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            out += cp;
        }
        i += std::size_t(extra) + 1;
    }
    return out;
}

std::string codePointToUtf8(std::uint32_t cp)
{
    std::string out;
    if (cp < 0x80) {
        out += char(cp);
    } else if (cp < 0x800) {
        out += char(0xC0 | (cp >> 6));
        out += char(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += char(0xE0 | (cp >> 12));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    } else {
        out += char(0xF0 | ((cp >> 18) & 0x07));
        out += char(0x80 | ((cp >> 12) & 0x3F));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    }
    return out;
}

std::string unitsToUtf8(const std::u32string& s)
{
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        const char32_t c = s[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] < 0xE000) {
            out += codePointToUtf8(0x10000 + ((c - 0xD800) << 10) + (s[i + 1] - 0xDC00));
            ++i;
        } else if (c >= 0xD800 && c < 0xE000) {
            out += codePointToUtf8(0xFFFD);  // a lone surrogate has no UTF-8 form
        } else {
            out += codePointToUtf8(c);
        }
    }
    return out;
}

std::string joinSurrogatePairs(std::string s)
{
    if (s.find('\xED') == std::string::npos) {
        return s;
    }
    auto unit = [&s](std::size_t i) {
        return std::uint32_t(static_cast<unsigned char>(s[i]) & 0x0F) << 12 |
               std::uint32_t(static_cast<unsigned char>(s[i + 1]) & 0x3F) << 6 |
               std::uint32_t(static_cast<unsigned char>(s[i + 2]) & 0x3F);
    };
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (i + 5 < s.size() && s[i] == '\xED' && s[i + 3] == '\xED') {
            const std::uint32_t high = unit(i);
            const std::uint32_t low = unit(i + 3);
            if (high >= 0xD800 && high < 0xDC00 && low >= 0xDC00 && low < 0xE000) {
                out += codePointToUtf8(0x10000 + ((high - 0xD800) << 10) + (low - 0xDC00));
                i += 5;
                continue;
            }
        }
        out += s[i];
    }
    return out;
}

}  // namespace swf::avm1
