// Finding a channel's file, decoding it through the platform, turning it upside down for OpenGL,
// and the noise that stands in for a missing or broken one.
#include "viewer/ChannelFiles.h"

#include <algorithm>

#include "viewer/LogNotice.h"

namespace Morvane {
namespace {

const uint32_t kNoiseSide = 256;

struct Candidate {
    const wchar_t* extension;
    Platform::ImageFileType type;
};

const Candidate kCandidates[] = {
    {L".png", Platform::ImageFileType::Png},
    {L".jpg", Platform::ImageFileType::Jpeg},
    {L".jpeg", Platform::ImageFileType::Jpeg},
};

void TurnUpsideDown(Platform::RgbaImage& image)
{
    const size_t rowBytes = static_cast<size_t>(image.width) * 4;
    for (uint32_t top = 0, bottom = image.height; top + 1 < bottom; ++top) {
        --bottom;
        std::swap_ranges(image.pixels.begin() + static_cast<std::ptrdiff_t>(top * rowBytes),
                         image.pixels.begin() + static_cast<std::ptrdiff_t>((top + 1) * rowBytes),
                         image.pixels.begin() + static_cast<std::ptrdiff_t>(bottom * rowBytes));
    }
}

Platform::RgbaImage MakeNoise()
{
    Platform::RgbaImage noise;
    noise.width = kNoiseSide;
    noise.height = kNoiseSide;
    noise.pixels.resize(static_cast<size_t>(kNoiseSide) * kNoiseSide * 4);
    // A fixed seed through xorshift32: the same bytes at every start, on every system.
    uint32_t state = 0x9E3779B9u;
    for (uint8_t& byte : noise.pixels) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        byte = static_cast<uint8_t>(state >> 24);
    }
    return noise;
}

}  // namespace

const Platform::RgbaImage& NoiseImage()
{
    static const Platform::RgbaImage noise = MakeNoise();
    return noise;
}

Platform::RgbaImage ReadChannel(const std::wstring& folder, int channel, uint32_t maxSide, std::wstring& notice)
{
    notice.clear();
    const uint32_t largest = std::min(maxSide, kLargestChannelSide);
    for (const Candidate& candidate : kCandidates) {
        const std::wstring path = folder + L"channel" + std::to_wstring(channel) + candidate.extension;
        Platform::RgbaImage image;
        std::wstring reason;
        const Platform::ImageFileResult result = Platform::ReadImageFile(path, candidate.type, largest, image, reason);
        if (result == Platform::ImageFileResult::Missing) {
            continue;
        }
        if (result == Platform::ImageFileResult::Refused) {
            notice = ChannelNotUsedNotice(path, channel, reason);
            return NoiseImage();
        }
        TurnUpsideDown(image);
        return image;
    }
    return NoiseImage();
}

}  // namespace Morvane
