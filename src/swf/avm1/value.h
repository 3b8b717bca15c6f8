// ActionScript 1/2 values and the conversions that need no object calls (ECMA-262 3rd edition as Flash applies them).
#pragma once

#include <cstdint>
#include <string>

namespace swf::avm1 {

class Object;

enum class Type : std::uint8_t { Undefined, Null, Boolean, Number, String, Object };

class Value {
public:
    Value() = default;
    Value(bool b) : m_type(Type::Boolean), m_bool(b) {}
    Value(double n) : m_type(Type::Number), m_number(n) {}
    Value(int n) : m_type(Type::Number), m_number(n) {}
    explicit Value(std::string s) : m_type(Type::String), m_string(std::move(s)) {}
    explicit Value(const char* s) : m_type(Type::String), m_string(s) {}
    explicit Value(Object* o) : m_type(o ? Type::Object : Type::Null), m_object(o) {}
    static Value null()
    {
        Value v;
        v.m_type = Type::Null;
        return v;
    }

    Type type() const { return m_type; }
    bool isUndefined() const { return m_type == Type::Undefined; }
    bool isNull() const { return m_type == Type::Null; }
    bool isNullish() const { return m_type == Type::Undefined || m_type == Type::Null; }
    bool isBool() const { return m_type == Type::Boolean; }
    bool isNumber() const { return m_type == Type::Number; }
    bool isString() const { return m_type == Type::String; }
    bool isObject() const { return m_type == Type::Object; }
    bool isPrimitive() const { return m_type != Type::Object; }

    bool asBool() const { return m_bool; }
    double asNumber() const { return m_number; }
    const std::string& asString() const { return m_string; }
    Object* asObject() const { return m_type == Type::Object ? m_object : nullptr; }

private:
    Type m_type = Type::Undefined;
    bool m_bool = false;
    double m_number = 0;
    std::string m_string;
    Object* m_object = nullptr;
};

// Number to string as Flash prints it: 15 significant digits, exponent form below 1e-5 and from 1e15,
// the digits made with Flash's own (not correctly rounded) arithmetic.
std::string numberToString(double n);
// Number to string in another radix (2 to 36), as Number.prototype.toString(radix) gives it.
std::string numberToRadixString(double n, int radix);

// String to number as the ToNumber conversion gives it for the movie's version: leading white space
// skipped, "0x" hexadecimal accepted, anything else trailing gives NaN; the empty string gives NaN
// from SWF 5 on and 0 in SWF 4.
double stringToNumber(const std::string& s, int version);

// Conversions of primitive values; objects are converted by the machine, which calls valueOf/toString.
double primitiveToNumber(const Value& v, int version);
std::string primitiveToString(const Value& v, int version);
bool toBoolean(const Value& v, int version);

// ECMA-262 ToInt32 and ToUint32 of a number.
std::int32_t toInt32(double n);
std::uint32_t toUint32(double n);
// ToInteger: NaN gives 0, otherwise truncation toward zero.
double toInteger(double n);

// The result of typeof for primitives ("undefined", "null", "boolean", "number", "string").
const char* primitiveTypeName(Type t);

// String methods and the multibyte actions count UTF-16 units, as Flash does: a character outside the basic
// plane is two units (a surrogate pair), which join again on the way back to UTF-8.
std::u32string utf8ToUnits(const std::string& s);
std::string unitsToUtf8(const std::u32string& s);
std::string codePointToUtf8(std::uint32_t cp);
// Rewrites surrogate pairs written as two 3-byte sequences (as some compilers store them) as the one 4-byte UTF-8
// character they stand for, so that strings compare and measure as Flash's own UTF-8 does.
std::string joinSurrogatePairs(std::string s);

}  // namespace swf::avm1
