// Number to string as Flash prints it. Flash does not round correctly: it scales the number into
// [1, 10) with its own double arithmetic, peels off digits by repeated multiplication by ten and rounds
// on the sixteenth digit it so produced. The errors of those steps show in the fifteenth digit of many
// numbers, and movies print them, so the same steps are taken here in the same order.
#include "swf/avm1/value.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

namespace swf::avm1 {

namespace {

constexpr int kSignificantDigits = 15;
// The decimal exponents at which Flash changes from exponent form to plain decimals and back.
constexpr int kSmallestPlainExponent = -5;
constexpr int kLargestPlainExponent = 14;
// Flash's value of log10(2), a little shorter than the double nearest to it; it decides the first
// guess of the decimal exponent, and so which scaling (and which rounding errors) a number gets.
constexpr double kLog10Of2 = 0.301029995663981;
constexpr int kMantissaBits = 52;
constexpr int kExponentBias = 1023;
// Subnormal numbers are scaled by 2^54 to read their binary exponent.
constexpr int kSubnormalShift = 54;

// value * 10^exponent by squaring powers of ten: multiplying for positive exponents, dividing for
// negative ones, so the rounding of each step is Flash's.
double shiftDecimal(double value, int exponent)
{
    double power = 10;
    std::uint32_t count = exponent < 0 ? 0u - std::uint32_t(exponent) : std::uint32_t(exponent);
    while (count != 0) {
        if (count & 1u) {
            value = exponent > 0 ? value * power : value / power;
        }
        count >>= 1;
        power *= power;
    }
    return value;
}

int binaryExponent(double magnitude)
{
    std::uint64_t bits = 0;
    std::memcpy(&bits, &magnitude, sizeof bits);
    int exponent = int((bits >> kMantissaBits) & 0x7ff) - kExponentBias;
    if (exponent == -kExponentBias) {
        const double scaled = magnitude * std::ldexp(1.0, kSubnormalShift);
        std::memcpy(&bits, &scaled, sizeof bits);
        exponent = int((bits >> kMantissaBits) & 0x7ff) - kExponentBias - kSubnormalShift;
    }
    return exponent;
}

// Produces the decimal digits of a positive number one at a time, the first in [1, 9].
class DigitSource {
public:
    explicit DigitSource(double magnitude)
    {
        m_exponent = int(std::round(binaryExponent(magnitude) * kLog10Of2));
        m_scaled = shiftDecimal(magnitude, -m_exponent);
        // The guess can miss by one either way.
        if (int(m_scaled) == 0) {
            m_scaled = shiftDecimal(magnitude, -(--m_exponent));
        }
        if (int(m_scaled) >= 10) {
            m_scaled = shiftDecimal(magnitude, -(++m_exponent));
        }
    }

    int exponent() const { return m_exponent; }

    char next()
    {
        const int digit = int(m_scaled);
        m_scaled = (m_scaled - digit) * 10;
        return char('0' + digit);
    }

    void append(std::string& out, int count)
    {
        for (int i = 0; i < count; ++i) {
            out += next();
        }
    }

private:
    double m_scaled = 0;
    int m_exponent = 0;
};

// Adds one to the last digit, carrying leftwards over nines; signs and points are passed over. Where
// no spare digit is left for the carry, the leading digit silently becomes 0, as in Flash.
void roundUp(std::string& text)
{
    for (auto it = text.rbegin(); it != text.rend(); ++it) {
        if (*it == '9') {
            *it = '0';
        } else if (*it >= '0' && *it <= '8') {
            ++*it;
            return;
        }
    }
}

void trimTrailingZeros(std::string& text)
{
    while (!text.empty() && text.back() == '0') {
        text.pop_back();
    }
    if (!text.empty() && text.back() == '.') {
        text.pop_back();
    }
}

// Repairs the exponent form after a carry ran out of room: "0" becomes 1 at the next exponent, "100"
// becomes 1 two exponents up. A leading minus sign hides the first repair, which is why -9.99…e+n
// prints without digits in Flash.
void normaliseExponentForm(std::string& text, int& exponent)
{
    const std::size_t firstNonZero = text.find_first_not_of('0');
    text.erase(0, firstNonZero == std::string::npos ? text.size() : firstNonZero);
    if (text.empty()) {
        text = "1";
        ++exponent;
        return;
    }
    const std::size_t lastNonZero = text.find_last_not_of('0');
    if (lastNonZero == 0 || lastNonZero == std::string::npos) {
        exponent += int(text.size()) - 1;
        text.resize(1);
    }
}

}  // namespace

std::string numberToString(double n)
{
    if (std::isnan(n)) {
        return "NaN";
    }
    if (std::isinf(n)) {
        return n > 0 ? "Infinity" : "-Infinity";
    }
    if (n == 0) {
        return "0";
    }
    if (n >= -2147483648.0 && n <= 2147483647.0 && n == std::trunc(n)) {
        return std::to_string(std::int32_t(n));
    }
    const bool negative = n < 0;
    DigitSource digits(std::fabs(n));
    int exponent = digits.exponent();
    std::string text = negative ? "-" : "";
    if (exponent > kLargestPlainExponent) {
        text += digits.next();
        text += '.';
        digits.append(text, kSignificantDigits - 1);
    } else if (exponent >= 0) {
        // The leading 0 takes a carry out of the first digit.
        text += '0';
        digits.append(text, exponent + 1);
        text += '.';
        digits.append(text, kSignificantDigits - exponent - 1);
        exponent = 0;
    } else if (exponent >= kSmallestPlainExponent) {
        text += "00.";
        text.append(std::size_t(-exponent - 1), '0');
        digits.append(text, kSignificantDigits);
        exponent = 0;
    } else {
        text += '0';
        const char first = digits.next();
        if (first != '0') {
            text += first;
        }
        text += '.';
        digits.append(text, kSignificantDigits - 1);
    }
    if (digits.next() >= '5') {
        roundUp(text);
    }
    trimTrailingZeros(text);
    if (exponent != 0) {
        normaliseExponentForm(text, exponent);
        text += exponent < 0 ? "e-" : "e+";
        text += std::to_string(std::abs(exponent));
    }
    // Drop the spare leading 0 unless it is the 0 of "0.", keeping the sign in front.
    const std::size_t first = negative ? 1 : 0;
    if (text.size() > first + 1 && text[first] == '0' && text[first + 1] != '.') {
        if (negative) {
            text[first] = '-';
        }
        return text.substr(1);
    }
    return text;
}

}  // namespace swf::avm1
