// What every picture is drawn with: the full-screen quad, corners (±1, ±1, −1) as two triangles,
// drawn as two instances (the default vertex shader moves the second off the screen), the map
// from a picture's pixels and depth back to the world for a camera, and pictures made opaque.
#pragma once

#include <cstdint>
#include <vector>

#include "framework/Camera.h"
#include "math/Matrix4x4.h"
#include "opengl/OpenglDriver.h"

namespace Morvane {

struct QuadBuffers {
    int64_t vertexBufferId = 0;
    int64_t indexBufferId = 0;
    uint64_t instanceCount = 0;
};

// Uploads the quad's vertices and indices into the driver.
QuadBuffers CreateQuad(OpenglDriver::OpenglDriver& driver);

// Maps a position in pixels (origin bottom-left) on a `width` x `height` picture and a depth in
// [0, 1] to a world point (after division by w), for `camera`.
Math::Matrix4x4 ScreenToWorld(const RealTimeApp::Camera& camera, float width, float height);

// The window shows colours only: a picture taken out of it (RGBA pixels) is made opaque, whatever
// alpha the shader wrote.
void MakeOpaque(std::vector<uint8_t>& pixels);

}  // namespace Morvane
