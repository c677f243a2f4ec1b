// The OpenGL version a test run asks Mesa for, and whether the current context has it. The runs
// on older contexts set MESA_GL_VERSION_OVERRIDE and name the same version again in
// MORVANE_TEST_GL_VERSION, so that a run whose override does not take effect fails instead of
// testing the newest context once more.
#pragma once

#include <GL/glew.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace TestSupport {

// The version asked for, as "2.1" or "3.3COMPAT"; empty in the runs that ask for none.
inline std::string GlVersionAsked()
{
    const char* asked = std::getenv("MORVANE_TEST_GL_VERSION");
    return asked ? asked : "";
}

// Whether the current context's GL_VERSION begins with the number asked for and, for a version
// ending in COMPAT, whether the context has the compatibility profile.
inline ::testing::AssertionResult HasGlVersion(const std::string& asked)
{
    const GLubyte* text = glGetString(GL_VERSION);
    if (!text) {
        return ::testing::AssertionFailure() << "no context is current";
    }
    const std::string version = reinterpret_cast<const char*>(text);
    const std::string compat = "COMPAT";
    const bool wantsCompat = asked.size() > compat.size() &&
                             asked.compare(asked.size() - compat.size(), compat.size(), compat) == 0;
    const std::string number = wantsCompat ? asked.substr(0, asked.size() - compat.size()) : asked;
    if (version.compare(0, number.size() + 1, number + " ") != 0) {
        return ::testing::AssertionFailure() << "GL_VERSION is \"" << version << "\", but " << number
                                             << " was asked for";
    }
    if (wantsCompat) {
        GLint profile = 0;
        glGetIntegerv(GL_CONTEXT_PROFILE_MASK, &profile);
        if (!(profile & GL_CONTEXT_COMPATIBILITY_PROFILE_BIT)) {
            return ::testing::AssertionFailure() << "GL_VERSION is \"" << version
                                                 << "\", but not in the compatibility profile asked for";
        }
    }
    return ::testing::AssertionSuccess() << "GL_VERSION is \"" << version << "\"";
}

}  // namespace TestSupport
