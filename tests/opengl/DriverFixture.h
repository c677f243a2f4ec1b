// A shown 800 x 600 window with an OpenglDriver on it, and helpers to build the quad, draw and
// read pixels back, for the driver's tests.
#pragma once

#include <GL/glew.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include <boost/shared_ptr.hpp>
#include <boost/checked_delete.hpp>

#include "common/Exception.h"
#include "framework/Win32Window.h"
#include "opengl/OpenglDriver.h"

namespace DriverTesting {

struct Rgba {
    int r, g, b, a;
};

// The full-screen quad: corners counter-clockwise, every normal `normal`.
inline boost::shared_ptr<OpenglDriver::Vertex> MakeQuad(std::size_t count,
                                                        const Math::Vector3& normal)
{
    boost::shared_ptr<OpenglDriver::Vertex> vertices(
        new OpenglDriver::Vertex[count], boost::checked_array_deleter<OpenglDriver::Vertex>());
    const Math::Vector3 corners[4] = {
        {-1.0f, -1.0f, 0.0f}, {1.0f, -1.0f, 0.0f}, {1.0f, 1.0f, 0.0f}, {-1.0f, 1.0f, 0.0f}};
    for (std::size_t i = 0; i < count; ++i) {
        vertices.get()[i].position = corners[i % 4];
        vertices.get()[i].normal = normal;
    }
    return vertices;
}

inline boost::shared_ptr<int> MakeIndices(std::size_t count)
{
    boost::shared_ptr<int> indices(new int[count], boost::checked_array_deleter<int>());
    const int quad[6] = {0, 1, 2, 0, 2, 3};
    for (std::size_t i = 0; i < count; ++i) {
        indices.get()[i] = i < 6 ? quad[i] : 1;
    }
    return indices;
}

// Passes the position through and hands the normal on as the colour.
const char kNormalVertexShader[] =
    "#version 120\n"
    "varying vec3 colour;\n"
    "void main() {\n"
    "    colour = gl_Normal;\n"
    "    gl_Position = vec4(gl_Vertex.xyz, 1.0);\n"
    "}\n";

const char kColourPixelShader[] =
    "#version 120\n"
    "varying vec3 colour;\n"
    "void main() { gl_FragColor = vec4(colour, 1.0); }\n";

// A uniform colour; `tint` scales it.
const char kUniformPixelShader[] =
    "#version 120\n"
    "uniform vec3 paint;\n"
    "uniform float tint;\n"
    "void main() { gl_FragColor = vec4(paint * tint, 1.0); }\n";

inline std::string Narrow(const std::wstring& text)
{
    return std::string(text.begin(), text.end());
}

class DriverFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_window.reset(new RealTimeApp::Win32Window(L"OpenglTest", 800, 600, DefWindowProcW));
        ShowWindow(m_window->hwnd, SW_SHOW);
        try {
            m_driver.reset(new OpenglDriver::OpenglDriver(m_window->hdc));
        } catch (const Common::Exception& e) {
            FAIL() << "driver construction failed: " << Narrow(e.Message()) << " / "
                   << Narrow(e.Detail().text);
        }
        GLint viewport[4] = {0, 0, 0, 0};
        glGetIntegerv(GL_VIEWPORT, viewport);
        m_width = viewport[2];
        m_height = viewport[3];
    }

    void TearDown() override
    {
        m_driver.reset();
        m_window.reset();
    }

    // The pixel at a fraction of the drawable's width and height, from the back buffer.
    Rgba PixelAt(float fx, float fy)
    {
        unsigned char pixel[4] = {0, 0, 0, 0};
        glReadPixels(static_cast<GLint>(fx * m_width), static_cast<GLint>(fy * m_height), 1, 1,
                     GL_RGBA, GL_UNSIGNED_BYTE, pixel);
        return Rgba{pixel[0], pixel[1], pixel[2], pixel[3]};
    }

    // Creates the quad's buffers and a program and makes it current.
    boost::weak_ptr<OpenglDriver::OpenglProgram> SetUpQuad(const char* vertexShader,
                                                            const char* pixelShader,
                                                            const Math::Vector3& normal)
    {
        m_vertexBufferId = m_driver->CreateVertexBuffer(MakeQuad(4, normal), 4);
        m_indexBufferId = m_driver->CreateVertexBuffer(MakeIndices(6), 6);
        std::vector<OpenglDriver::ShaderSource> sources = {
            {vertexShader, OpenglDriver::VertexShader}, {pixelShader, OpenglDriver::PixelShader}};
        boost::weak_ptr<OpenglDriver::OpenglProgram> program = m_driver->CreateProgram(sources);
        m_driver->SetProgram(program);
        return program;
    }

    void ClearAndDraw(uint64_t instanceCount)
    {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        m_driver->DrawIndexedPrimitive(m_vertexBufferId, m_indexBufferId, instanceCount);
    }

    std::unique_ptr<RealTimeApp::Win32Window> m_window;
    std::unique_ptr<OpenglDriver::OpenglDriver> m_driver;
    int m_width = 0;
    int m_height = 0;
    int64_t m_vertexBufferId = -1;
    int64_t m_indexBufferId = -1;
};

// Colours compare within the rounding of 8-bit channels.
#define EXPECT_RGB(expectedR, expectedG, expectedB, pixel) \
    do {                                                  \
        Rgba actual_ = (pixel);                            \
        EXPECT_NEAR(expectedR, actual_.r, 2);              \
        EXPECT_NEAR(expectedG, actual_.g, 2);              \
        EXPECT_NEAR(expectedB, actual_.b, 2);              \
    } while (0)

}  // namespace DriverTesting
