// Image files named by wide Windows paths, decoded by the system's own image libraries (libpng
// and libjpeg-turbo on Linux, the Windows Imaging Component on Windows) into 8-bit RGBA pixels.
// The decoder is the one named by the file's type, never one guessed from the contents.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace Platform {

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
