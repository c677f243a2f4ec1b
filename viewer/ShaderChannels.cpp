// Loading the channels' pictures into their textures.
#include "viewer/ShaderChannels.h"

#include <boost/shared_ptr.hpp>

#include "viewer/LogNotice.h"

namespace Morvane {

std::wstring ShaderChannels::Load(OpenglDriver::OpenglDriver& driver, const std::wstring& folder)
{
    std::wstring notices;
    const uint32_t maxSide = driver.MaxTextureSize();
    for (int channel = 0; channel < kChannelCount; ++channel) {
        if (m_textures[channel].expired()) {
            m_textures[channel] = driver.CreateTexture();
            m_holdsNoise[channel] = false;
        }
        std::wstring notice;
        const Platform::RgbaImage image = ReadChannel(folder, channel, maxSide, notice);
        notices = BelowNotice(notices, notice);
        const bool noise = image.width == NoiseImage().width && image.pixels == NoiseImage().pixels;
        if (!(noise && m_holdsNoise[channel])) {
            m_textures[channel].lock()->Load(image.width, image.height, image.pixels.data());
        }
        m_holdsNoise[channel] = noise;
        m_resolutions[channel * 3] = static_cast<float>(image.width);
        m_resolutions[channel * 3 + 1] = static_cast<float>(image.height);
        m_resolutions[channel * 3 + 2] = 1.0f;
    }
    return notices;
}

}  // namespace Morvane
