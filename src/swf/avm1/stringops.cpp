// The string actions of SWF 4 and their multibyte variants; characters are counted, not bytes.
#include "swf/avm1/interp.h"

#include "swf/limits.h"

#include <cmath>

namespace swf::avm1 {

namespace {

Completion onStringAdd(Activation& act, const ActionRecord&)
{
    const std::string b = act.popString();
    std::string a = act.popString();
    if (a.size() + b.size() > limits::kAvm1MaxStringBytes) {
        act.vm.abort("A string grew past the engine's limit; the scripts were stopped.");
        return Completion::Abort;
    }
    act.push(Value(a + b));
    return Completion::Normal;
}

Completion onStringEquals(Activation& act, const ActionRecord&)
{
    const std::string b = act.popString();
    const std::string a = act.popString();
    act.push(act.boolean(a == b));
    return Completion::Normal;
}

Completion onStringLess(Activation& act, const ActionRecord&)
{
    const std::string b = act.popString();
    const std::string a = act.popString();
    act.push(act.boolean(a < b));
    return Completion::Normal;
}

Completion onStringGreater(Activation& act, const ActionRecord&)
{
    const std::string b = act.popString();
    const std::string a = act.popString();
    act.push(act.boolean(a > b));
    return Completion::Normal;
}

Completion onStringLength(Activation& act, const ActionRecord&)
{
    act.push(Value(double(utf8ToUnits(act.popString()).size())));
    return Completion::Normal;
}

// StringExtract: index counts from 1; out-of-range parts are cut off.
Completion onStringExtract(Activation& act, const ActionRecord&)
{
    const double count = toInt32(act.popNumber());
    const double index = toInt32(act.popNumber());
    const std::u32string s = utf8ToUnits(act.popString());
    double start = index - 1;
    if (start < 0) {
        start = 0;
    }
    if (start >= double(s.size()) || count == 0) {
        act.push(Value(""));
        return Completion::Normal;
    }
    double take = count < 0 ? double(s.size()) : count;
    if (start + take > double(s.size())) {
        take = double(s.size()) - start;
    }
    act.push(Value(unitsToUtf8(s.substr(std::size_t(start), std::size_t(take)))));
    return Completion::Normal;
}

// A surrogate on its own is no character; these actions give and take the replacement character instead.
std::uint32_t withoutSurrogate(std::uint32_t code)
{
    return code >= 0xD800 && code < 0xE000 ? 0xFFFD : code;
}

Completion onCharToAscii(Activation& act, const ActionRecord&)
{
    const std::u32string s = utf8ToUnits(act.popString());
    act.push(s.empty() ? Value(0) : Value(double(withoutSurrogate(s[0]))));
    return Completion::Normal;
}

Completion onAsciiToChar(Activation& act, const ActionRecord&)
{
    const std::uint32_t code = toUint32(act.popNumber()) & 0xFFFF;
    act.push(code == 0 ? Value("") : Value(codePointToUtf8(withoutSurrogate(code))));
    return Completion::Normal;
}

}  // namespace

void registerStrings(Handler* t)
{
    t[op::StringAdd] = onStringAdd;
    t[op::StringEquals] = onStringEquals;
    t[op::StringLess] = onStringLess;
    t[op::StringGreater] = onStringGreater;
    t[op::StringLength] = onStringLength;
    t[op::MBStringLength] = onStringLength;
    t[op::StringExtract] = onStringExtract;
    t[op::MBStringExtract] = onStringExtract;
    t[op::CharToAscii] = onCharToAscii;
    t[op::MBCharToAscii] = onCharToAscii;
    t[op::AsciiToChar] = onAsciiToChar;
    t[op::MBAsciiToChar] = onAsciiToChar;
}

}  // namespace swf::avm1
