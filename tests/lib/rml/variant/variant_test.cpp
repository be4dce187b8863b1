#include "lib/rml/variant/variant.h"

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "lib/rml/string_utilities/string_utilities.h"

namespace {

using Rml::String;
using Rml::Variant;

TEST(Variant, EmptyGivesTheDefaultForEveryType) {
    const Variant empty;
    EXPECT_EQ(empty.GetType(), Variant::NONE);
    EXPECT_EQ(empty.Get<int>(7), 7);
    EXPECT_EQ(empty.Get<String>("x"), "x");
    EXPECT_TRUE(empty.Get<bool>(true));
}

TEST(Variant, TextConvertsToNumbersOnlyWhenItStartsWithOne) {
    EXPECT_EQ(Variant("42").Get<int>(), 42);
    EXPECT_EQ(Variant(" -3").Get<int>(), -3);
    EXPECT_EQ(Variant("12abc").Get<int>(), 12);
    EXPECT_EQ(Variant("abc").Get<int>(5), 5);
    EXPECT_EQ(Variant("").Get<int>(9), 9);
    EXPECT_FLOAT_EQ(Variant("2.5").Get<float>(), 2.5f);
    EXPECT_EQ(Variant("3.7").Get<int>(), 3);
    EXPECT_DOUBLE_EQ(Variant("x").Get<double>(1.5), 1.5);
}

TEST(Variant, BooleansReadFromOneZeroTrueFalseInAnyCase) {
    EXPECT_TRUE(Variant("TRUE").Get<bool>());
    EXPECT_TRUE(Variant("1").Get<bool>());
    EXPECT_FALSE(Variant("False").Get<bool>(true));
    EXPECT_FALSE(Variant("0").Get<bool>(true));
    EXPECT_TRUE(Variant("maybe").Get<bool>(true));
    EXPECT_FALSE(Variant("maybe").Get<bool>(false));
    EXPECT_TRUE(Variant(2).Get<bool>());
    EXPECT_FALSE(Variant(0.0).Get<bool>(true));
}

TEST(Variant, NumbersBecomeTheirShortestText) {
    EXPECT_EQ(Variant(true).Get<String>(), "1");
    EXPECT_EQ(Variant(false).Get<String>(), "0");
    EXPECT_EQ(Variant(-12).Get<String>(), "-12");
    EXPECT_EQ(Variant(190.f).Get<String>(), "190");
    EXPECT_EQ(Variant(185.5f).Get<String>(), "185.5");
    EXPECT_EQ(Variant(0.1).Get<String>(), "0.1");
}

TEST(Variant, IntegralAndEnumTypesAreStoredAsInt) {
    enum class Kind : unsigned { A = 2101 };
    EXPECT_EQ(Variant(Kind::A).GetType(), Variant::INT);
    EXPECT_EQ(Variant(Kind::A).Get<int>(), 2101);
    EXPECT_EQ(Variant(std::uint8_t{200}).Get<int>(), 200);
    EXPECT_EQ(Variant(3.9f).Get<int>(), 3);
}

TEST(Variant, NumbersOutsideTheTargetsRangeGiveTheDefault) {
    EXPECT_EQ(Variant(9999999999999999995.0).Get<long long>(-1), -1);
    EXPECT_EQ(Variant(std::nan("")).Get<long long>(-1), -1);
    EXPECT_EQ(Variant(-std::numeric_limits<float>::infinity()).Get<int>(-1), -1);
    EXPECT_EQ(Variant(4294967297.0).Get<int>(-1), -1);  // not wrapped around to 1
    EXPECT_EQ(Variant("4294967297").Get<int>(-1), -1);
    EXPECT_EQ(Variant(1e300).Get<float>(-1.f), -1.f);
    EXPECT_EQ(Variant(-2147483648.9).Get<int>(), std::numeric_limits<int>::min());
    EXPECT_EQ(Variant(-9223372036854775808.0).Get<long long>(), std::numeric_limits<long long>::min());
}

TEST(Variant, EqualityNeedsTheSameType) {
    EXPECT_EQ(Variant(1), Variant(1));
    EXPECT_FALSE(Variant(1) == Variant("1"));
    EXPECT_FALSE(Variant(1) == Variant(1.0));
}

TEST(StringUtilities, LowerCaseAndUtf8Steps) {
    EXPECT_EQ(Rml::StringUtilities::ToLower("FaLSe"), "false");
    const String text = "a\xC3\xA9\xF0\x9F\x9A\x80";  // a, e-acute, rocket
    EXPECT_EQ(Rml::StringUtilities::CountCodePoints(text), 3u);
    EXPECT_EQ(Rml::StringUtilities::NextCodePoint(text, 1), 3u);
    EXPECT_EQ(Rml::StringUtilities::PreviousCodePoint(text, text.size()), 3u);
    EXPECT_EQ(Rml::StringUtilities::PreviousCodePoint(text, 0), 0u);
    std::size_t offset = 3;
    EXPECT_EQ(Rml::StringUtilities::DecodeUtf8(text, offset), U'\U0001F680');
}

}  // namespace
