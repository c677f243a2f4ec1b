// Image files named by wide Windows paths, encoded by the system's own image libraries (libpng on
// Linux, the Windows Imaging Component on Windows).
#pragma once

#include <cstdint>
#include <string>

namespace Platform {

// Writes `width` x `height` RGBA pixels (four bytes each, rows from the bottom up, as OpenGL reads
// them) as a PNG file at `path`, replacing any file of that name only once the new one is whole.
// False, with `reason` saying why in one sentence, when it cannot be written.
bool WritePngFile(const std::wstring& path, uint32_t width, uint32_t height, const uint8_t* rowsBottomUp,
                  std::wstring& reason);

}  // namespace Platform
