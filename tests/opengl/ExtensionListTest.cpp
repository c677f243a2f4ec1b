// Whole-word matching of an extension name in an extension list, as the driver uses it for
// "WGL_ARB_multisample".
#include <gtest/gtest.h>

#include "opengl/WglExtensions.h"

namespace {

using OpenglDriver::ContainsExtension;

const char kName[] = "WGL_ARB_multisample";

TEST(ExtensionListTest, WholeWordsAnywhereInTheList)
{
    EXPECT_TRUE(ContainsExtension("WGL_ARB_multisample", kName));
    EXPECT_TRUE(ContainsExtension("WGL_ARB_multisample WGL_ARB_pixel_format", kName));
    EXPECT_TRUE(ContainsExtension("WGL_ARB_pixel_format WGL_ARB_multisample", kName));
    EXPECT_TRUE(ContainsExtension("WGL_A WGL_ARB_multisample WGL_B", kName));
    EXPECT_TRUE(ContainsExtension("WGL_ARB_pixel_format WGL_ARB_multisample ", kName));
}

TEST(ExtensionListTest, NameInsideALongerWordDoesNotCount)
{
    EXPECT_FALSE(ContainsExtension("WGL_ARB_multisampleX", kName));
    EXPECT_FALSE(ContainsExtension("XWGL_ARB_multisample", kName));
    EXPECT_FALSE(ContainsExtension("GL_EXT_a XWGL_ARB_multisample WGL_ARB_multisamples", kName));
    EXPECT_FALSE(ContainsExtension("WGL_ARB_multi", kName));
    EXPECT_FALSE(ContainsExtension("WGL_ARB_pixel_format", kName));
}

TEST(ExtensionListTest, LaterWholeWordAfterAPartialHit)
{
    // The search resumes one character past a hit that does not count.
    EXPECT_TRUE(ContainsExtension("XWGL_ARB_multisample WGL_ARB_multisample", kName));
    EXPECT_TRUE(ContainsExtension("WGL_ARB_multisample_x WGL_ARB_multisample", kName));
    EXPECT_TRUE(ContainsExtension("aa aa", "aa"));
    EXPECT_TRUE(ContainsExtension("aaa aa", "aa"));
    EXPECT_FALSE(ContainsExtension("aaa aaa", "aa"));
}

TEST(ExtensionListTest, EmptyOrMissingInput)
{
    EXPECT_FALSE(ContainsExtension("", kName));
    EXPECT_FALSE(ContainsExtension(nullptr, kName));
    EXPECT_FALSE(ContainsExtension("WGL_ARB_multisample", ""));
    EXPECT_FALSE(ContainsExtension(" ", ""));
}

}  // namespace
