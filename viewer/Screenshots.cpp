// Naming and writing screenshots.
#include "Screenshots.h"

#include <ctime>

#include "common/Exception.h"
#include "platform/ImageFiles.h"
#include "platform/Windows.h"
#include "viewer/ScenePaths.h"

namespace Morvane {
namespace {

bool Exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::wstring LocalStamp()
{
    const std::time_t now = std::time(nullptr);
    const std::tm* local = std::localtime(&now);
    wchar_t stamp[32] = L"";
    if (!local || std::wcsftime(stamp, 32, L"%Y%m%d-%H%M%S", local) == 0) {
        return L"00000000-000000";
    }
    return stamp;
}

std::wstring WithoutLineEnd(std::wstring text)
{
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ')) {
        text.pop_back();
    }
    return text;
}

}  // namespace

bool Screenshots::TakeRequest()
{
    const bool requested = m_requested;
    m_requested = false;
    return requested;
}

std::wstring Screenshots::FreeName(const std::wstring& folder, const std::wstring& stamp)
{
    std::wstring name = JoinPath(folder, L"morvane-" + stamp + L".png");
    for (int number = 2; Exists(name) && number < 10000; ++number) {
        name = JoinPath(folder, L"morvane-" + stamp + L"-" + std::to_wstring(number) + L".png");
    }
    return name;
}

std::wstring Screenshots::Save(const std::wstring& sceneFolder, uint32_t width, uint32_t height,
                               const std::vector<uint8_t>& pixels)
{
    const std::wstring folder = JoinPath(sceneFolder, L"screenshots");
    if (!CreateDirectoryW(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
        return L"The picture could not be saved: the folder " + folder + L" could not be made.\n" +
               WithoutLineEnd(Common::CaptureSystemError().text);
    }
    const std::wstring file = FreeName(folder, LocalStamp());
    std::wstring reason;
    if (!Platform::WritePngFile(file, width, height, pixels.data(), reason)) {
        return L"The picture could not be saved.\n" + reason;
    }
    return L"The picture was saved as " + file + L".";
}

}  // namespace Morvane
