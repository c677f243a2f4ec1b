// The pictures of the four input channels of texts in Shadertoy's form: channelN.png,
// channelN.jpg or channelN.jpeg (the first found, in that order) in the pixel shader's folder, or
// else a built-in noise texture.
#pragma once

#include <cstdint>
#include <string>

#include "platform/ImageFiles.h"

namespace Morvane {

const int kChannelCount = 4;
// No channel image is taken that is wider or taller than this, whatever OpenGL allows.
const uint32_t kLargestChannelSide = 8192;

// Channel `channel` (0 to 3) from the folder `folder` (a path ending in a separator, or empty
// for the current folder), its rows from the bottom up so that the image's top row is drawn at
// the top. An image wider or taller than `maxSide` (or than kLargestChannelSide) is refused.
// When there is no such file, the noise; when the file cannot be read, decoded or is refused, the
// noise too, and `notice` says which file and why (it is empty otherwise).
Platform::RgbaImage ReadChannel(const std::wstring& folder, int channel, uint32_t maxSide, std::wstring& notice);

// The built-in noise: 256 x 256 pixels whose four bytes are each evenly spread over 0 to 255,
// the same at every start.
const Platform::RgbaImage& NoiseImage();

}  // namespace Morvane
