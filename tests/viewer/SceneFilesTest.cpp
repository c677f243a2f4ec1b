// The scene's shader files: both read at construction with bare line feeds, the failure that
// names a missing file, and reloading the pixel shader.
#include <cstdio>

#include "ViewerFixture.h"
#include "common/Exception.h"

using Morvane::CustomScene;
using namespace ViewerTest;

TEST(CustomScene, ReadsBothShadersWithBareLineFeeds)
{
    ShaderFolder folder("a\r\nb");
    CustomScene scene;
    EXPECT_EQ(scene.m_pixelShaderPath, L"glsl\\pixelShader.glsl");
    EXPECT_EQ(scene.m_vertexShaderText, kVertexShader);
    EXPECT_EQ(scene.m_pixelShaderText, "a\nb\n");
    EXPECT_FALSE(scene.m_shaderChanged);
}

TEST(CustomScene, WithoutGlslFolderFailsOnTheVertexFile)
{
    TemporaryFolder empty;
    try {
        CustomScene scene;
        FAIL() << "a scene was built without shader files";
    } catch (const Common::Exception& e) {
        EXPECT_EQ(e.Message(), L"File couldn't be loaded.");
        EXPECT_NE(e.Detail().text.find(L"vertexShader.glsl"), std::wstring::npos) << "the cause names the file";
    }
}

TEST(CustomScene, EmptyPixelFileGivesEmptyText)
{
    ShaderFolder folder("");
    CustomScene scene;
    EXPECT_EQ(scene.m_pixelShaderText, "");
}

TEST(CustomScene, ReloadRaisesTheFlagEvenWhenTheReadFails)
{
    ShaderFolder folder("one\n");
    CustomScene scene;
    scene.ReloadPixelShader();
    EXPECT_TRUE(scene.m_shaderChanged);
    EXPECT_EQ(scene.m_pixelShaderText, "one\n");

    folder.Write("glsl/pixelShader.glsl", "two\r\n");
    scene.m_shaderChanged = false;
    scene.ReloadPixelShader();
    EXPECT_EQ(scene.m_pixelShaderText, "two\n");

    std::remove("glsl/pixelShader.glsl");
    scene.m_shaderChanged = false;
    EXPECT_THROW(scene.ReloadPixelShader(), Common::Exception);
    EXPECT_TRUE(scene.m_shaderChanged);
    EXPECT_EQ(scene.m_pixelShaderText, "two\n");
}
