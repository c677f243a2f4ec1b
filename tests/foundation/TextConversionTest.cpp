// Wide <-> UTF-8 conversion: round trips, replacement of invalid input, embedded zeros kept and the
// refusal of empty text.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "common/Exception.h"
#include "common/TextConversion.h"

using Common::Exception;
using Common::Utf8ToWide;
using Common::WideToUtf8;

TEST(TextConversion, RoundTripsCharactersOutsideTheBasicPlane)
{
    const std::wstring wide = L"a\u00E9\u20AC\U0001F600\U0010FFFF z";
    const std::string narrow = WideToUtf8(wide);
    EXPECT_EQ(narrow, "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\xF4\x8F\xBF\xBF z");
    EXPECT_EQ(Utf8ToWide(narrow), wide);
}

TEST(TextConversion, InvalidInputBecomesReplacementCharacter)
{
    EXPECT_EQ(Utf8ToWide("x\xFFy"), L"x\uFFFDy");
    EXPECT_EQ(Utf8ToWide("\xE2\x82"), L"\uFFFD");
    // A surrogate code without its pair is no character either.
    std::wstring unpaired = L"x";
    unpaired += static_cast<wchar_t>(0xD800);
    unpaired += L"y";
    EXPECT_EQ(WideToUtf8(unpaired), "x\xEF\xBF\xBDy");
}

// A zero character converts like any other: a text is never cut short at one.
TEST(TextConversion, EmbeddedZeroIsConvertedWithTheRest)
{
    EXPECT_EQ(WideToUtf8(std::wstring(L"ab\0cd", 5)), std::string("ab\0cd", 5));
    EXPECT_EQ(Utf8ToWide(std::string("ab\0cd", 5)), std::wstring(L"ab\0cd", 5));
    EXPECT_EQ(WideToUtf8(std::wstring(L"\0\u00E9", 2)), std::string("\0\xC3\xA9", 3));
}

namespace {

void ExpectRefusedAsInvalidParameter(const std::function<void()>& conversion)
{
    SetLastError(0);
    try {
        conversion();
        ADD_FAILURE() << "an empty text was converted";
    } catch (const Exception& e) {
        EXPECT_TRUE(e.Message().empty());
        EXPECT_EQ(e.Detail().code, static_cast<DWORD>(ERROR_INVALID_PARAMETER));
        EXPECT_FALSE(e.Detail().text.empty());
    }
}

}  // namespace

TEST(TextConversion, EmptyTextIsRefusedWithEmptyMessageAndCause)
{
    ExpectRefusedAsInvalidParameter([] { WideToUtf8(L""); });
    ExpectRefusedAsInvalidParameter([] { Utf8ToWide(""); });
}

TEST(TextConversion, LongTextsConvertWhole)
{
    std::string narrow(200000, 'q');
    narrow += "\xC3\xA9";
    std::wstring wide = Utf8ToWide(narrow);
    ASSERT_EQ(wide.size(), 200001u);
    EXPECT_EQ(wide.back(), L'\u00E9');
    EXPECT_EQ(WideToUtf8(wide), narrow);
}
