// The driver's refusal of contexts that lack what it needs. Mesa is made to offer less through
// its own environment overrides; each case builds the driver in a child process of its own,
// because Mesa reads the overrides once per process. This process itself never connects to X.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "common/Exception.h"
#include "framework/Win32Window.h"
#include "opengl/OpenglDriver.h"

namespace {

// Builds a window and a driver with `variable`=`value` set; returns the exception message (or
// "built"), followed by "|released" when no context was left current afterwards.
std::string BuildDriverWith(const char* variable, const char* value)
{
    int channel[2];
    if (pipe(channel) != 0) {
        return "no pipe";
    }
    pid_t child = fork();
    if (child == 0) {
        close(channel[0]);
        setenv(variable, value, 1);
        std::string result;
        try {
            RealTimeApp::Win32Window window(L"CapabilityTest", 200, 200, DefWindowProcW);
            try {
                OpenglDriver::OpenglDriver driver(window.hdc);
                result = "built";
            } catch (const Common::Exception& e) {
                result = std::string(e.Message().begin(), e.Message().end());
            }
        } catch (const Common::Exception&) {
            result = "no window";
        }
        result += wglGetCurrentContext() == NULL ? "|released" : "|current";
        ssize_t written = write(channel[1], result.data(), result.size());
        _exit(written == static_cast<ssize_t>(result.size()) ? 0 : 1);
    }
    close(channel[1]);
    std::string result;
    char buffer[256];
    ssize_t count;
    while ((count = read(channel[0], buffer, sizeof(buffer))) > 0) {
        result.append(buffer, static_cast<std::size_t>(count));
    }
    close(channel[0]);
    int status = 0;
    waitpid(child, &status, 0);
    return result;
}

TEST(CapabilityTest, UnchangedMesaIsAccepted)
{
    EXPECT_EQ("built|released", BuildDriverWith("MORVANE_UNUSED", "1"));
}

TEST(CapabilityTest, OpenGl20IsRefusedBeforeAnyExtension)
{
    EXPECT_EQ("Opengl 2.1 required|released",
              BuildDriverWith("MESA_GL_VERSION_OVERRIDE", "2.0"));
}

TEST(CapabilityTest, EachMissingExtensionIsNamed)
{
    EXPECT_EQ("GLEW_EXT_gpu_shader4 not supported|released",
              BuildDriverWith("MESA_EXTENSION_OVERRIDE", "-GL_EXT_gpu_shader4"));
    EXPECT_EQ("ARB_draw_instanced not supported|released",
              BuildDriverWith("MESA_EXTENSION_OVERRIDE", "-GL_ARB_draw_instanced"));
    EXPECT_EQ("ARB_texture_float not supported|released",
              BuildDriverWith("MESA_EXTENSION_OVERRIDE", "-GL_ARB_texture_float"));
}

TEST(CapabilityTest, ChecksStopAtTheFirstMissingExtension)
{
    EXPECT_EQ("ARB_draw_instanced not supported|released",
              BuildDriverWith("MESA_EXTENSION_OVERRIDE",
                              "-GL_ARB_texture_float -GL_ARB_draw_instanced"));
}

}  // namespace
