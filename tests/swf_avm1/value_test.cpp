// Conversions of primitive values as Flash applies them.
#include "swf/avm1/object.h"
#include "swf/avm1/value.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using namespace swf::avm1;

TEST(Avm1Value, NumbersPrintWithFifteenDigitsAndFlashExponents)
{
    const struct {
        double n;
        const char* text;
    } cases[] = {
        {0, "0"}, {-0.0, "0"}, {1, "1"}, {-1.5, "-1.5"}, {4.0 / 3.0, "1.33333333333333"}, {0.1 + 0.2, "0.3"},
        {123456789012345.0, "123456789012345"}, {1e15, "1e+15"}, {-2.2222222222222222e16, "-2.22222222222222e+16"},
        {0.00001, "0.00001"}, {0.0000144449572872297, "0.0000144449572872297"}, {1.5e-6, "1.5e-6"},
        {1e-7, "1e-7"}, {NAN, "NaN"}, {INFINITY, "Infinity"}, {-INFINITY, "-Infinity"},
        {-11009805.066422757, "-11009805.0664228"}, {123413.9695765174, "123413.969576517"},
        {2.276797577873297e+304, "2.2767975778733e+304"}, {2147483648.0, "2147483648"}, {-2147483648.0, "-2147483648"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(numberToString(c.n), c.text) << c.n;
    }
}

// Flash scales by powers of ten made by squaring and reads digits by multiplying by ten, so the
// fifteenth digit is often not the correctly rounded one; a carry out of the last place has a spare
// leading 0 to go to in plain decimals but none in exponent form.
TEST(Avm1Value, NumbersPrintWithFlashsOwnDigitArithmetic)
{
    const struct {
        double n;
        const char* text;
    } cases[] = {
        // Correct rounding gives ...232, ...29, ...71, ...75 here.
        {1.7976931348623157e308, "1.79769313486231e+308"},
        {4.2857142857142852e+32, "4.28571428571428e+32"},
        {1.7142857142857141e-300, "1.71428571428572e-300"},
        {-6.9419986896747545e-286, "-6.94199868967476e-286"},
        // The smallest subnormal number finds its binary exponent after scaling into the normal range.
        {4.9406564584124654e-324, "4.94065645841247e-324"},
        {-2.2250738585072014e-308, "-2.2250738585072e-308"},
        // Carries: into the spare 0 of plain decimals, which may then need sixteen digits.
        {0.9999999999999999, "1"},
        {-0.9999999999999999, "-1"},
        {99999999999999.99, "100000000000000"},
        {999999999999999.9, "1000000000000000"},
        {0.000099999999999999999, "0.0001"},
        // In exponent form the lost carry is repaired, except behind a minus sign.
        {9999999999999998.0, "1e+16"},
        {-9999999999999998.0, "-e+16"},
        // Scaling 10^300 down by squared powers of ten ends just below 1, one exponent lower.
        {1e300, "9.99999999999999e+299"},
        // Integers beyond 32 bits are not printed through the integer path.
        {1e15 - 1, "999999999999999"},
        {123456789012345680000.0, "1.23456789012346e+20"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(numberToString(c.n), c.text) << c.n;
    }
}

TEST(Avm1Value, RadixStringsGoThroughThirtyTwoBits)
{
    EXPECT_EQ(numberToRadixString(255, 16), "ff");
    EXPECT_EQ(numberToRadixString(-255, 2), "-11111111");
    EXPECT_EQ(numberToRadixString(35, 36), "z");
    EXPECT_EQ(numberToRadixString(4294967296.0 + 5, 16), "5");
    EXPECT_EQ(numberToRadixString(1.5, 10), "1.5");
}

TEST(Avm1Value, StringsToNumbersByVersion)
{
    const struct {
        const char* text;
        int version;
        double expected;  // NaN compares through isnan
    } cases[] = {
        {"12", 7, 12}, {"  12", 7, 12}, {"12  ", 7, NAN}, {"1e3", 7, 1000}, {"-.5", 7, -0.5}, {"0x1A", 7, 26},
        {"0x1A", 5, NAN}, {"0xFFFFFFFF", 7, -1}, {"", 7, NAN}, {"", 4, 0}, {"abc", 7, NAN},
        {".", 7, NAN}, {"+3", 6, 3}, {"Infinity", 7, NAN}, {"010", 7, 8}, {"-010", 7, -8}, {"019", 7, 19}, {"010", 5, 10},
        // The hexadecimal prefix counts only at the very start; a sign may follow it but not come before it.
        {"-0x10", 7, NAN}, {"-0x2", 6, NAN}, {"+0x2", 8, NAN}, {" 0x2", 6, NAN}, {"0x-2", 6, -2}, {"0x-ffffffff", 8, 1},
        {"0x", 6, NAN}, {"0x2", 5, NAN},
        // Octal takes a sign but no white space before it; then the digits are decimal.
        {"-077", 6, -63}, {"+077", 8, 63}, {" 077", 6, 77}, {"\n077", 7, 77}, {"078", 6, 78},
        // An exponent mark without digits ends the number; anything else after it spoils it.
        {"1e", 7, 1}, {"2E", 6, 2}, {"-56e-", 6, -56}, {"-56e+", 5, -56}, {"-56eu", 6, NAN}, {"e5", 6, NAN},
        {" -2e5", 6, -200000}, {"\n  2", 6, 2}, {"2 ", 6, NAN},
    };
    for (const auto& c : cases) {
        const double n = stringToNumber(c.text, c.version);
        if (std::isnan(c.expected)) {
            EXPECT_TRUE(std::isnan(n)) << c.text << " v" << c.version << " gave " << n;
        } else {
            EXPECT_EQ(n, c.expected) << c.text << " v" << c.version;
        }
    }
}

TEST(Avm1Value, VersionRulesForUndefinedNullAndStrings)
{
    EXPECT_EQ(primitiveToString(Value(), 6), "");
    EXPECT_EQ(primitiveToString(Value(), 7), "undefined");
    EXPECT_EQ(primitiveToString(Value::null(), 6), "null");
    EXPECT_EQ(primitiveToNumber(Value(), 6), 0);
    EXPECT_TRUE(std::isnan(primitiveToNumber(Value(), 7)));
    EXPECT_EQ(primitiveToNumber(Value("abc"), 4), 0);
    // SWF 4 reads the decimal number the string starts with, never hexadecimal.
    EXPECT_EQ(primitiveToNumber(Value(" 12.5abc"), 4), 12.5);
    EXPECT_EQ(primitiveToNumber(Value("0x96"), 4), 0);
    EXPECT_EQ(primitiveToNumber(Value("0x-10"), 6), -16);
    EXPECT_TRUE(std::isnan(primitiveToNumber(Value("abc"), 5)));
    // Strings are true by length from SWF 7, by their number before.
    EXPECT_TRUE(toBoolean(Value("abc"), 7));
    EXPECT_FALSE(toBoolean(Value("abc"), 6));
    EXPECT_TRUE(toBoolean(Value("2"), 6));
    EXPECT_FALSE(toBoolean(Value("0"), 6));
    EXPECT_TRUE(toBoolean(Value("0"), 7));
    EXPECT_FALSE(toBoolean(Value(""), 7));
    EXPECT_FALSE(toBoolean(Value(NAN), 7));
}

TEST(Avm1Value, Int32WrapsAndTruncates)
{
    EXPECT_EQ(toInt32(4294967295.0), -1);
    EXPECT_EQ(toInt32(2147483648.0), -2147483647 - 1);
    EXPECT_EQ(toInt32(-1.9), -1);
    EXPECT_EQ(toInt32(NAN), 0);
    EXPECT_EQ(toInt32(INFINITY), 0);
    EXPECT_EQ(toUint32(-1), 4294967295u);
    EXPECT_EQ(toInteger(-2.7), -2);
}

TEST(Avm1Value, Utf8RoundTripsAndKeepsStrayBytes)
{
    const std::string text = "a\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80";
    const std::u32string chars = utf8ToUnits(text);
    // The emoji outside the basic plane counts as two units, as in Flash.
    ASSERT_EQ(chars.size(), 5u);
    EXPECT_EQ(chars[2], U'\u4E2D');
    EXPECT_EQ(chars[3], char32_t(0xD83D));
    EXPECT_EQ(unitsToUtf8(chars), text);
    // A cut-off sequence does not read past the end.
    EXPECT_EQ(utf8ToUnits("\xE4\xB8").size(), 2u);
}

}  // namespace

namespace {

TEST(Avm1Names, FoldingBeforeSwf7CoversLatinGreekAndCyrillic)
{
    using swf::avm1::Object;
    Object folded(nullptr, false);
    Object exact(nullptr, true);
    const struct {
        const char* a;
        const char* b;
    } same[] = {
        {"FOO", "foo"},
        {"\xC3\x84", "\xC3\xA4"},        // Ä ä
        {"\xD3\xA4", "\xD3\xA5"},        // Ӥ ӥ
        {"\xC7\x84", "\xC7\x86"},        // Ǆ ǆ
        {"\xC7\x85", "\xC7\x86"},        // ǅ ǆ
        {"\xCE\x91", "\xCE\xB1"},        // Α α
        {"\xD0\x81", "\xD1\x91"},        // Ё ё
    };
    for (const auto& c : same) {
        EXPECT_EQ(folded.key(c.a), folded.key(c.b)) << c.a;
        EXPECT_NE(exact.key(c.a), exact.key(c.b)) << c.a;
    }
    EXPECT_NE(folded.key("\xC3\x97"), folded.key("\xC3\xB7"));  // × and ÷ are no letters
}

TEST(Avm1Values, SurrogatePairsInThreeByteFormBecomeOneCharacter)
{
    // U+10002 written as the pair D800 DC02, each in three bytes, becomes F0 90 80 82; lone halves stay.
    EXPECT_EQ(joinSurrogatePairs("a\xED\xA0\x80\xED\xB0\x82" "b"), "a\xF0\x90\x80\x82" "b");
    EXPECT_EQ(joinSurrogatePairs("\xED\xA0\x80x"), "\xED\xA0\x80x");
    EXPECT_EQ(joinSurrogatePairs("\xED\xB0\x82\xED\xA0\x80"), "\xED\xB0\x82\xED\xA0\x80");
    EXPECT_EQ(joinSurrogatePairs("plain"), "plain");
    // So the string order is the order of the characters: U+FF61 comes before U+10002.
    EXPECT_LT(std::string("\xEF\xBD\xA1"), joinSurrogatePairs("\xED\xA0\x80\xED\xB0\x82"));
}

}  // namespace
