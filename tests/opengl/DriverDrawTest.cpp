// Buffers, drawing and presenting on a real context: ids, upload sizes, the argument checks,
// instanced and plain draws, and the picture read back from the frame buffer.
#include "DriverFixture.h"

namespace {

using namespace DriverTesting;
using OpenglDriver::OpenglProgram;
using OpenglDriver::Vertex;

const Math::Vector3 kGreen(0.0f, 1.0f, 0.0f);

// Draws each instance over one half of the window: instance 0 the left, instance 1 the right.
const char kInstancedVertexShader[] =
    "#version 120\n"
    "#extension GL_ARB_draw_instanced : require\n"
    "varying vec3 colour;\n"
    "void main() {\n"
    "    colour = gl_Normal;\n"
    "    float x = gl_Vertex.x * 0.5 - 0.5 + float(gl_InstanceIDARB);\n"
    "    gl_Position = vec4(x, gl_Vertex.y, 0.0, 1.0);\n"
    "}\n";

typedef DriverFixture DriverDrawTest;

TEST_F(DriverDrawTest, BufferIdsCountFromZeroInTwoSpaces)
{
    EXPECT_EQ(0, m_driver->CreateVertexBuffer(MakeQuad(4, kGreen), 4));
    EXPECT_EQ(0, m_driver->CreateVertexBuffer(MakeIndices(6), 6));
    EXPECT_EQ(1, m_driver->CreateVertexBuffer(MakeIndices(6), 6));
    EXPECT_EQ(1, m_driver->CreateVertexBuffer(MakeQuad(4, kGreen), 4));
    EXPECT_EQ(2, m_driver->CreateVertexBuffer(MakeQuad(4, kGreen), 4));
}

TEST_F(DriverDrawTest, UploadsExactlyFourVerticesAndSixIndices)
{
    // Longer arrays are accepted; only their first 4 vertices and 6 indices reach GL.
    boost::shared_ptr<Vertex> vertices = MakeQuad(8, kGreen);
    m_driver->CreateVertexBuffer(vertices, 8);
    GLint size = 0;
    glGetBufferParameteriv(GL_ARRAY_BUFFER, GL_BUFFER_SIZE, &size);
    EXPECT_EQ(96, size);
    Vertex stored[4];
    glGetBufferSubData(GL_ARRAY_BUFFER, 0, sizeof(stored), stored);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(vertices.get()[i].position.x, stored[i].position.x);
        EXPECT_EQ(vertices.get()[i].position.y, stored[i].position.y);
        EXPECT_EQ(1.0f, stored[i].normal.y);
    }

    boost::shared_ptr<int> indices = MakeIndices(9);
    m_driver->CreateVertexBuffer(indices, 9);
    glGetBufferParameteriv(GL_ELEMENT_ARRAY_BUFFER, GL_BUFFER_SIZE, &size);
    EXPECT_EQ(24, size);
    int storedIndices[6] = {};
    glGetBufferSubData(GL_ELEMENT_ARRAY_BUFFER, 0, sizeof(storedIndices), storedIndices);
    const int expected[6] = {0, 1, 2, 0, 2, 3};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(expected[i], storedIndices[i]);
    }
    EXPECT_EQ(GL_NO_ERROR, glGetError());
}

TEST_F(DriverDrawTest, RefusesMissingOrShortArrays)
{
    struct Case {
        std::function<void()> call;
        const char* message;
    };
    const Case cases[] = {
        {[&] { m_driver->CreateVertexBuffer(boost::shared_ptr<Vertex>(), 4); },
         "Invalid parameter: !vertices in OpenglDriver::CreateVertexBuffer"},
        {[&] { m_driver->CreateVertexBuffer(boost::shared_ptr<int>(), 6); },
         "Invalid parameter: !indices in OpenglDriver::CreateVertexBuffer"},
        {[&] { m_driver->CreateVertexBuffer(MakeQuad(3, kGreen), 3); },
         "Invalid parameter: count < 4 in OpenglDriver::CreateVertexBuffer"},
        {[&] { m_driver->CreateVertexBuffer(MakeIndices(5), 5); },
         "Invalid parameter: count < 6 in OpenglDriver::CreateVertexBuffer"},
        {[&] { m_driver->CreateVertexBuffer(boost::shared_ptr<int>(), 0); },
         "Invalid parameter: !indices in OpenglDriver::CreateVertexBuffer"},
    };
    for (const Case& c : cases) {
        try {
            c.call();
            ADD_FAILURE() << "no exception for " << c.message;
        } catch (const Common::Exception& e) {
            EXPECT_EQ(c.message, Narrow(e.Message()));
        }
    }
    // Nothing was created by the refused calls.
    EXPECT_EQ(0, m_driver->CreateVertexBuffer(MakeQuad(4, kGreen), 4));
    EXPECT_EQ(0, m_driver->CreateVertexBuffer(MakeIndices(6), 6));
}

TEST_F(DriverDrawTest, RejectsBadBufferIds)
{
    const std::string vertexMessage =
        "Invalid Parameter: vertexBufferId < 0 || vertexBufferId > m_vertexBuffers.size() in "
        "OpenglDriver::DrawIndexedPrimitive";
    const std::string indexMessage =
        "Invalid Parameter: indexBufferId < 0 || indexBufferId > m_indexBuffers.size() in "
        "OpenglDriver::DrawIndexedPrimitive";
    SetUpQuad(kNormalVertexShader, kColourPixelShader, kGreen);
    const struct {
        int64_t vertexId;
        int64_t indexId;
        const std::string& message;
    } cases[] = {
        {-1, 0, vertexMessage}, {1, 0, vertexMessage},   {1, 1, vertexMessage},
        {-1, -1, vertexMessage}, {0, 1, indexMessage},   {0, -1, indexMessage},
    };
    for (const auto& c : cases) {
        try {
            m_driver->DrawIndexedPrimitive(c.vertexId, c.indexId, 1);
            ADD_FAILURE() << "no exception for " << c.vertexId << ", " << c.indexId;
        } catch (const Common::Exception& e) {
            EXPECT_EQ(c.message, Narrow(e.Message())) << c.vertexId << ", " << c.indexId;
        }
    }
    EXPECT_NO_THROW(m_driver->DrawIndexedPrimitive(0, 0, 1));
}

TEST_F(DriverDrawTest, DrawingWithoutAProgramIsRefused)
{
    m_vertexBufferId = m_driver->CreateVertexBuffer(MakeQuad(4, kGreen), 4);
    m_indexBufferId = m_driver->CreateVertexBuffer(MakeIndices(6), 6);
    try {
        m_driver->DrawIndexedPrimitive(0, 0, 1);
        ADD_FAILURE() << "drew without a program";
    } catch (const Common::Exception& e) {
        EXPECT_EQ("No program set in OpenglDriver::DrawIndexedPrimitive", Narrow(e.Message()));
    }
}

TEST_F(DriverDrawTest, FullScreenQuadTakesItsColourFromTheNormals)
{
    SetUpQuad(kNormalVertexShader, kColourPixelShader, Math::Vector3(1.0f, 0.5f, 0.0f));
    ClearAndDraw(1);
    EXPECT_RGB(255, 128, 0, PixelAt(0.5f, 0.5f));
    EXPECT_RGB(255, 128, 0, PixelAt(0.02f, 0.02f));
    EXPECT_RGB(255, 128, 0, PixelAt(0.98f, 0.98f));
    // The draw leaves its state in place.
    EXPECT_TRUE(glIsEnabled(GL_VERTEX_ARRAY));
    EXPECT_TRUE(glIsEnabled(GL_NORMAL_ARRAY));
    GLint stride = 0;
    glGetIntegerv(GL_VERTEX_ARRAY_STRIDE, &stride);
    EXPECT_EQ(24, stride);
    glGetIntegerv(GL_NORMAL_ARRAY_STRIDE, &stride);
    EXPECT_EQ(24, stride);
    GLint current = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &current);
    EXPECT_NE(0, current);
    EXPECT_NO_THROW(m_driver->Present());
}

TEST_F(DriverDrawTest, InstanceCountsZeroOneAndTwo)
{
    SetUpQuad(kInstancedVertexShader, kColourPixelShader, Math::Vector3(0.0f, 0.0f, 1.0f));
    const int clearR = 128, clearG = 128, clearB = 179;

    ClearAndDraw(0);
    EXPECT_RGB(clearR, clearG, clearB, PixelAt(0.25f, 0.5f));
    EXPECT_RGB(clearR, clearG, clearB, PixelAt(0.75f, 0.5f));

    ClearAndDraw(1);
    EXPECT_RGB(0, 0, 255, PixelAt(0.25f, 0.5f));
    EXPECT_RGB(clearR, clearG, clearB, PixelAt(0.75f, 0.5f));

    ClearAndDraw(2);
    EXPECT_RGB(0, 0, 255, PixelAt(0.25f, 0.5f));
    EXPECT_RGB(0, 0, 255, PixelAt(0.75f, 0.5f));
}

TEST_F(DriverDrawTest, BackFacesAreCulled)
{
    // The same quad wound clockwise faces away and draws nothing.
    boost::shared_ptr<Vertex> vertices = MakeQuad(4, kGreen);
    std::swap(vertices.get()[1], vertices.get()[3]);
    m_vertexBufferId = m_driver->CreateVertexBuffer(vertices, 4);
    m_indexBufferId = m_driver->CreateVertexBuffer(MakeIndices(6), 6);
    m_driver->SetProgram(m_driver->CreateProgram(
        {{kNormalVertexShader, OpenglDriver::VertexShader},
         {kColourPixelShader, OpenglDriver::PixelShader}}));
    ClearAndDraw(1);
    EXPECT_RGB(128, 128, 179, PixelAt(0.5f, 0.5f));
}

TEST_F(DriverDrawTest, DrawsWithTheProgramLastSet)
{
    boost::weak_ptr<OpenglProgram> green =
        SetUpQuad(kNormalVertexShader, kColourPixelShader, kGreen);
    boost::weak_ptr<OpenglProgram> uniform = m_driver->CreateProgram(
        {{kNormalVertexShader, OpenglDriver::VertexShader},
         {kUniformPixelShader, OpenglDriver::PixelShader}});
    uniform.lock()->SetParameter("paint", Math::Vector3(1.0f, 0.0f, 1.0f));
    uniform.lock()->SetParameter("tint", 1.0f);

    ClearAndDraw(1);
    EXPECT_RGB(0, 255, 0, PixelAt(0.5f, 0.5f));
    m_driver->SetProgram(uniform);
    ClearAndDraw(1);
    EXPECT_RGB(255, 0, 255, PixelAt(0.5f, 0.5f));
}

}  // namespace
