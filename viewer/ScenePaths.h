// Where a scene's files are: its pixel shader and its vertex shader (or the built-in one), for the
// current folder as always or for a scene named on the command line; and the scene's folder.
#pragma once

#include <string>

namespace Morvane {

struct ScenePaths {
    std::wstring pixelShader;
    // Empty: the built-in vertex shader (the default scene's).
    std::wstring vertexShader;
};

// The current folder's glsl\pixelShader.glsl and glsl\vertexShader.glsl.
ScenePaths CurrentFolderScene();

// A scene named on the command line: a folder holding glsl\pixelShader.glsl, a folder holding
// pixelShader.glsl, or a pixel shader file of any name. The vertex shader is the
// vertexShader.glsl beside the pixel shader where there is one. Throws UsageError when the name
// is none of these.
ScenePaths ResolveScene(const std::wstring& scene);

// The scene's folder, where what the user takes out of it goes: the folder that holds glsl\ when
// the pixel shader lies in one, else the pixel shader's own folder.
std::wstring SceneFolder(const std::wstring& pixelShader);

// `name` (which may hold backslashes) inside `folder`, joined with the separator the folder's name
// uses, so that the paths the user sees read as they wrote them.
std::wstring JoinPath(const std::wstring& folder, const std::wstring& name);

// The default scene's vertex shader, for scenes that bring none.
const char* BuiltInVertexShader();

// The scene's vertex shader text: its file's, or the built-in one's. Throws Common::Exception
// when the file cannot be loaded.
std::string ReadVertexShader(const ScenePaths& paths);

// The folder of the file at `path` with its separator (where channel images lie beside a pixel
// shader); empty for a bare name.
std::wstring FolderOfFile(const std::wstring& path);

}  // namespace Morvane
