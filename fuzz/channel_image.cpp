// Fuzz target: the channel images of a text in Shadertoy's form. The input's first byte says
// which name the file takes in the scene's folder (channel0.png, .jpg or .jpeg) and the largest
// side allowed; the rest is the file. Any file must be either decoded into a whole picture within
// that size or refused with a notice that names the file, the noise standing in for it.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>

#include "FuzzCheck.h"
#include "common/TextConversion.h"
#include "platform/ImageFiles.h"
#include "viewer/ChannelFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1) {
        return 0;
    }
    static const char* const kNames[] = {"channel0.png", "channel0.jpg", "channel0.jpeg"};
    const std::string& folder = Fuzz::ScratchFolder();
    for (const char* name : kNames) {
        std::remove((folder + name).c_str());
    }
    const std::string name = kNames[data[0] % 3];
    // Small sides keep a decoded picture small; the checks are the same at any size.
    const uint32_t maxSide = 1u + (data[0] >> 2) * 16u;
    Fuzz::WriteBytes(folder + name, std::string(reinterpret_cast<const char*>(data + 1), size - 1));

    std::wstring notice;
    const Platform::RgbaImage image = Morvane::ReadChannel(Common::Utf8ToWide(folder), 0, maxSide, notice);
    Fuzz::Check(image.pixels.size() == static_cast<size_t>(image.width) * image.height * 4,
                "a picture has four bytes for each pixel");
    const Platform::RgbaImage& noise = Morvane::NoiseImage();
    if (!notice.empty()) {
        Fuzz::Check(notice.find(Common::Utf8ToWide(name)) != std::wstring::npos, "a refusal names the file");
        Fuzz::Check(image.pixels == noise.pixels, "the noise stands in for a refused file");
    } else {
        Fuzz::Check(image.width >= 1 && image.height >= 1, "a decoded picture has pixels");
        Fuzz::Check(image.width <= maxSide && image.height <= maxSide, "a picture is within the size allowed");
    }

    // The platform's reader directly, upside down from the channel's picture.
    Platform::RgbaImage direct;
    std::wstring reason;
    const Platform::ImageFileType type = name == "channel0.png" ? Platform::ImageFileType::Png
                                                                 : Platform::ImageFileType::Jpeg;
    const Platform::ImageFileResult result =
        Platform::ReadImageFile(Common::Utf8ToWide(folder + name), type, maxSide, direct, reason);
    Fuzz::Check(result != Platform::ImageFileResult::Missing, "the file is there");
    Fuzz::Check((result == Platform::ImageFileResult::Read) == notice.empty(), "the channel and the reader agree");
    if (result == Platform::ImageFileResult::Refused) {
        Fuzz::Check(!reason.empty() && direct.pixels.empty(), "a refusal says why and keeps no pixels");
    } else {
        Fuzz::Check(direct.width == image.width && direct.height == image.height, "the same size");
        const size_t row = static_cast<size_t>(direct.width) * 4;
        for (uint32_t y = 0; y < direct.height; ++y) {
            Fuzz::Check(std::equal(direct.pixels.begin() + static_cast<std::ptrdiff_t>(y * row),
                                   direct.pixels.begin() + static_cast<std::ptrdiff_t>((y + 1) * row),
                                   image.pixels.begin() + static_cast<std::ptrdiff_t>((direct.height - 1 - y) * row)),
                        "the channel's picture is the file's upside down");
        }
    }
    return 0;
}
