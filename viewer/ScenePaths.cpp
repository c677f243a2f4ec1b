// Finding a scene's files from the name the user gave.
#include "ScenePaths.h"

#include "common/TextFile.h"
#include "platform/Windows.h"
#include "viewer/CommandLine.h"

namespace Morvane {
namespace {

bool IsFolder(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool IsFile(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::wstring WithoutTrailingSeparators(std::wstring path)
{
    while (path.size() > 1 && (path.back() == L'\\' || path.back() == L'/')) {
        path.pop_back();
    }
    return path;
}

// Whether the user's name for a path separates its folders with slashes alone, so that the paths
// made from it read as they wrote them.
bool UsesSlashes(const std::wstring& path)
{
    return path.find(L'/') != std::wstring::npos && path.find(L'\\') == std::wstring::npos;
}

}  // namespace

std::wstring JoinPath(const std::wstring& folder, const std::wstring& name)
{
    const bool slashes = UsesSlashes(folder);
    std::wstring inner = name;
    if (slashes) {
        for (wchar_t& c : inner) {
            if (c == L'\\') c = L'/';
        }
    }
    const wchar_t last = folder.empty() ? L'\0' : folder.back();
    return last == L'/' || last == L'\\' ? folder + inner : folder + (slashes ? L"/" : L"\\") + inner;
}

namespace {

std::wstring FolderOf(const std::wstring& path)
{
    const size_t separator = path.find_last_of(L"\\/");
    if (separator == std::wstring::npos) {
        return L".";
    }
    return separator == 0 ? path.substr(0, 1) : path.substr(0, separator);
}

// The scene whose pixel shader is `pixelShader`, with the vertex shader beside it if any.
ScenePaths AroundPixelShader(const std::wstring& pixelShader)
{
    ScenePaths paths;
    paths.pixelShader = pixelShader;
    const std::wstring vertexShader = JoinPath(FolderOf(pixelShader), L"vertexShader.glsl");
    if (IsFile(vertexShader)) {
        paths.vertexShader = vertexShader;
    }
    return paths;
}

}  // namespace

ScenePaths CurrentFolderScene()
{
    return ScenePaths{L"glsl\\pixelShader.glsl", L"glsl\\vertexShader.glsl"};
}

ScenePaths ResolveScene(const std::wstring& scene)
{
    std::wstring name = WithoutTrailingSeparators(scene);
    if (UsesSlashes(scene) && !UsesSlashes(name)) {
        name += L"/";  // "project/": its files are named with slashes too
    }
    if (IsFolder(name)) {
        for (const wchar_t* inside : {L"glsl\\pixelShader.glsl", L"pixelShader.glsl"}) {
            if (IsFile(JoinPath(name, inside))) {
                return AroundPixelShader(JoinPath(name, inside));
            }
        }
        throw UsageError(L"The folder " + scene +
                         L" holds no scene: name a folder holding glsl\\pixelShader.glsl or pixelShader.glsl, or "
                         L"a pixel shader file.");
    }
    if (IsFile(name)) {
        return AroundPixelShader(name);
    }
    throw UsageError(L"There is no file or folder " + scene +
                     L": name a folder holding glsl\\pixelShader.glsl or pixelShader.glsl, or a pixel shader file.");
}

std::wstring SceneFolder(const std::wstring& pixelShader)
{
    const std::wstring folder = FolderOf(pixelShader);
    const size_t separator = folder.find_last_of(L"\\/");
    const std::wstring name = separator == std::wstring::npos ? folder : folder.substr(separator + 1);
    if (name == L"glsl") {
        return separator == std::wstring::npos ? L"." : FolderOf(folder);
    }
    return folder;
}

std::string ReadVertexShader(const ScenePaths& paths)
{
    return paths.vertexShader.empty() ? std::string(BuiltInVertexShader()) : Common::ReadTextFile(paths.vertexShader);
}

std::wstring FolderOfFile(const std::wstring& path)
{
    const size_t separator = path.find_last_of(L"\\/");
    return separator == std::wstring::npos ? std::wstring() : path.substr(0, separator + 1);
}

}  // namespace Morvane
