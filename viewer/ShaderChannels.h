// The four input channels of texts in Shadertoy's form as OpenGL textures: read from the pixel
// shader's folder (ChannelFiles) each time such a text is compiled, with their sizes for
// iChannelResolution and the notices about files that could not be used.
#pragma once

#include <string>

#include <boost/weak_ptr.hpp>

#include "opengl/OpenglDriver.h"
#include "viewer/ChannelFiles.h"

namespace Morvane {

class ShaderChannels {
public:
    // Reads the channels' files in `folder` again into the textures (made in `driver` the first
    // time). Returns the notices about files that could not be used, one below the other; empty
    // when there were none.
    std::wstring Load(OpenglDriver::OpenglDriver& driver, const std::wstring& folder);

    const boost::weak_ptr<OpenglDriver::OpenglTexture>& Texture(int channel) const { return m_textures[channel]; }
    // Each channel's width, height and 1, one channel after the other (iChannelResolution).
    const float* Resolutions() const { return m_resolutions; }

private:
    boost::weak_ptr<OpenglDriver::OpenglTexture> m_textures[kChannelCount];
    // Whether the texture holds the noise already, so that it is not loaded again.
    bool m_holdsNoise[kChannelCount] = {};
    float m_resolutions[kChannelCount * 3] = {};
};

}  // namespace Morvane
