// Case mapping: the simple one-to-one mappings of Unicode (from the C library's C.UTF-8 tables, read through a
// locale object of its own, not the process's), adjusted where Flash keeps an older table: Georgian capitals lower
// to the Mkhedruli letters and Mkhedruli has no capitals, final sigma pairs with U+03A2, lunate sigma uppers to Σ.
#include "swf/avm1/casemap.h"

#include <cwctype>
#include <locale.h>
#include <wctype.h>

namespace swf::avm1 {

namespace {

// The C.UTF-8 character tables, opened once; null where the system has none (then ASCII and Latin-1 only).
locale_t unicodeTables()
{
    static const locale_t tables = newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t(nullptr));
    return tables;
}

char32_t latin1(char32_t c, bool upper)
{
    if (upper ? (c >= 'a' && c <= 'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7)
              : (c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) {
        return upper ? c - 0x20 : c + 0x20;
    }
    return c;
}

bool isSurrogate(char32_t c)
{
    return c >= 0xD800 && c < 0xE000;
}

}  // namespace

char32_t upperUnit(char32_t c)
{
    if (c == 0x3C2) {
        return 0x3A2;  // final sigma
    }
    if (c == 0x3F2) {
        return 0x3A3;  // lunate sigma
    }
    if ((c >= 0x10D0 && c <= 0x10FF) || isSurrogate(c)) {
        return c;
    }
    const locale_t tables = unicodeTables();
    return tables ? char32_t(towupper_l(wint_t(c), tables)) : latin1(c, true);
}

char32_t lowerUnit(char32_t c)
{
    if (c == 0x3A2) {
        return 0x3C2;
    }
    if (c >= 0x10A0 && c <= 0x10C5) {
        return c + 0x30;
    }
    if (isSurrogate(c)) {
        return c;
    }
    const locale_t tables = unicodeTables();
    return tables ? char32_t(towlower_l(wint_t(c), tables)) : latin1(c, false);
}

}  // namespace swf::avm1
