// Pictures the user takes of the main window with F12: asked for by the logic, taken by the
// renderer from the picture it draws, written as PNG files in screenshots/ in the scene's folder,
// named by the local time they were taken (morvane-YYYYMMDD-HHMMSS.png, then -2, -3 ... within the
// same second).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace Morvane {

class Screenshots {
public:
    // Asks for a picture of the next frame.
    void Request() { m_requested = true; }
    // Whether a picture is asked for; asking clears the request.
    bool TakeRequest();

    // Writes `width` x `height` RGBA pixels (rows from the bottom up) into the folder
    // "screenshots" inside `sceneFolder`, made when missing. Returns what the log says: where the
    // picture went, or why it could not be written.
    static std::wstring Save(const std::wstring& sceneFolder, uint32_t width, uint32_t height,
                             const std::vector<uint8_t>& pixels);

    // The file name for a picture taken at `stamp` ("YYYYMMDD-HHMMSS") that is free in
    // `folder`.
    static std::wstring FreeName(const std::wstring& folder, const std::wstring& stamp);

private:
    bool m_requested = false;
};

}  // namespace Morvane
