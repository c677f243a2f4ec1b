// The GL error check on real GL errors: every name it knows, an unknown code, and one error
// consumed per check.
#include "DriverFixture.h"

#include "opengl/OpenglException.h"

namespace {

using namespace DriverTesting;
using OpenglDriver::CheckGlError;
using OpenglDriver::GlErrorToString;

// The detail of the exception CheckGlError throws, or code 0 when it returns.
Common::ErrorDetail CheckedError()
{
    try {
        CheckGlError();
    } catch (const OpenglDriver::OpenglException& e) {
        EXPECT_TRUE(e.Message().empty());
        return e.Detail();
    }
    return Common::ErrorDetail();
}

typedef DriverFixture GlErrorTest;

TEST_F(GlErrorTest, NoErrorPendingReturns)
{
    EXPECT_NO_THROW(CheckGlError());
    EXPECT_NO_THROW(CheckGlError());
}

TEST_F(GlErrorTest, RealErrorsCarryTheirCodeAndName)
{
    glEnable(0x7FFF);
    Common::ErrorDetail detail = CheckedError();
    EXPECT_EQ(0x0500u, detail.code);
    EXPECT_EQ(L"GL_INVALID_ENUM", detail.text);

    glGenBuffers(-1, nullptr);
    detail = CheckedError();
    EXPECT_EQ(0x0501u, detail.code);
    EXPECT_EQ(L"GL_INVALID_VALUE", detail.text);

    glEnd();
    detail = CheckedError();
    EXPECT_EQ(0x0502u, detail.code);
    EXPECT_EQ(L"GL_INVALID_OPERATION", detail.text);

    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    detail = CheckedError();
    EXPECT_EQ(0x0504u, detail.code);
    EXPECT_EQ(L"GL_STACK_UNDERFLOW", detail.text);

    GLint depth = 0;
    glGetIntegerv(GL_MAX_MODELVIEW_STACK_DEPTH, &depth);
    for (GLint i = 0; i < depth; ++i) {
        glPushMatrix();
    }
    detail = CheckedError();
    EXPECT_EQ(0x0503u, detail.code);
    EXPECT_EQ(L"GL_STACK_OVERFLOW", detail.text);
    for (GLint i = 1; i < depth; ++i) {
        glPopMatrix();
    }
    EXPECT_NO_THROW(CheckGlError());
}

TEST_F(GlErrorTest, UnnamedErrorHasAnEmptyName)
{
    // Clearing through an incomplete frame buffer raises GL_INVALID_FRAMEBUFFER_OPERATION.
    GLuint framebuffer = 0;
    glGenFramebuffers(1, &framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glClear(GL_COLOR_BUFFER_BIT);
    Common::ErrorDetail detail = CheckedError();
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glDeleteFramebuffers(1, &framebuffer);
    EXPECT_EQ(0x0506u, detail.code);
    EXPECT_TRUE(detail.text.empty());
}

TEST_F(GlErrorTest, EachCheckConsumesOneError)
{
    glEnable(0x7FFF);
    glGenBuffers(-1, nullptr);
    EXPECT_EQ(0x0500u, CheckedError().code);
    // GL may keep one flag per error (then the second is reported by the next check) or only
    // the first; either way no check reports more than one and the flags end clear.
    const DWORD second = CheckedError().code;
    EXPECT_TRUE(second == 0x0501u || second == 0u) << second;
    EXPECT_EQ(0u, CheckedError().code);
    EXPECT_EQ(GL_NO_ERROR, glGetError());
}

TEST(GlErrorNamesTest, TableAndUnknownValues)
{
    EXPECT_EQ(L"GL_NO_ERROR", GlErrorToString(0));
    EXPECT_EQ(L"GL_OUT_OF_MEMORY", GlErrorToString(0x0505));
    EXPECT_EQ(L"GL_TABLE_TOO_LARGE", GlErrorToString(0x8031));
    EXPECT_EQ(L"", GlErrorToString(0x0506));
    EXPECT_EQ(L"", GlErrorToString(0x0507));
    EXPECT_EQ(L"", GlErrorToString(1));
    EXPECT_EQ(L"", GlErrorToString(0xFFFFFFFFu));
}

}  // namespace
