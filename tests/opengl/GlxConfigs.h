// What the X server offers, asked directly through GLX, to compare the driver's choice with.
#pragma once

namespace DriverTesting {

// The largest sample count, at most `maxSamples`, of a double-buffered, window-capable RGBA
// configuration with exactly `depthBits` depth bits; 0 when none is multisampled.
int LargestSampleCount(int maxSamples, int depthBits);

}  // namespace DriverTesting
