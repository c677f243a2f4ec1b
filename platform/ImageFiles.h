// Image files named by wide Windows paths, decoded and encoded by the system's own image libraries
// (libpng and libjpeg-turbo on Linux, the Windows Imaging Component on Windows). A file is decoded
// by the decoder named for its type, never one guessed from its contents.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace Platform {

// Writes `width` x `height` RGBA pixels (four bytes each, rows from the bottom up, as OpenGL reads
// them) as a PNG file at `path`, replacing any file of that name only once the new one is whole.
// False, with `reason` saying why in one sentence, when it cannot be written.
bool WritePngFile(const std::wstring& path, uint32_t width, uint32_t height, const uint8_t* rowsBottomUp,
                  std::wstring& reason);

enum class ImageFileType { Png, Jpeg };

// Pixels as four bytes each (red, green, blue, alpha), rows from the top of the picture down.
struct RgbaImage {
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<uint8_t> pixels;
};

enum class ImageFileResult {
    Read,     // the image was decoded
    Missing,  // there is no file of that name
    Refused   // the file is there but could not be read, could not be decoded, or is too large
};

// Reads the file at `path` and decodes it as `type`. An image wider or taller than `maxSide`
// pixels is refused before its pixels are decoded. On Refused, `reason` says why in one sentence
// (the system's text for a file that cannot be read, the decoder's for a broken image) and
// `image` is left empty.
ImageFileResult ReadImageFile(const std::wstring& path, ImageFileType type, uint32_t maxSide,
                              RgbaImage& image, std::wstring& reason);

}  // namespace Platform
