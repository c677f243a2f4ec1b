// The quad's buffers and the screen-to-world map.
#include "Quad.h"

#include <algorithm>

#include <boost/checked_delete.hpp>
#include <boost/shared_ptr.hpp>

namespace Morvane {
namespace {

const size_t kQuadVertexCount = 4;
const size_t kQuadIndexCount = 6;

}  // namespace

QuadBuffers CreateQuad(OpenglDriver::OpenglDriver& driver)
{
    QuadBuffers quad;
    quad.instanceCount = 2;

    boost::shared_ptr<OpenglDriver::Vertex> vertices(new OpenglDriver::Vertex[kQuadVertexCount],
                                                     boost::checked_array_deleter<OpenglDriver::Vertex>());
    const float corners[kQuadVertexCount][2] = {{-1.0f, -1.0f}, {1.0f, -1.0f}, {1.0f, 1.0f}, {-1.0f, 1.0f}};
    for (size_t i = 0; i < kQuadVertexCount; ++i) {
        vertices.get()[i].position = Math::Vector3(corners[i][0], corners[i][1], -1.0f);
    }
    quad.vertexBufferId = driver.CreateVertexBuffer(vertices, kQuadVertexCount);

    boost::shared_ptr<int> indices(new int[kQuadIndexCount], boost::checked_array_deleter<int>());
    const int order[kQuadIndexCount] = {0, 1, 2, 0, 2, 3};
    std::copy(order, order + kQuadIndexCount, indices.get());
    quad.indexBufferId = driver.CreateVertexBuffer(indices, kQuadIndexCount);
    return quad;
}

Math::Matrix4x4 ScreenToWorld(const RealTimeApp::Camera& camera, float width, float height)
{
    Math::Matrix4x4 window;
    window.At(0, 0) = width / 2.0f;
    window.At(0, 3) = width / 2.0f;
    window.At(1, 1) = height / 2.0f;
    window.At(1, 3) = height / 2.0f;
    window.At(2, 2) = 0.5f;
    window.At(2, 3) = 0.5f;
    const Math::Matrix4x4 product = (window * camera.projection) * camera.view;
    return product.Inverse();
}

void MakeOpaque(std::vector<uint8_t>& pixels)
{
    for (size_t alpha = 3; alpha < pixels.size(); alpha += 4) {
        pixels[alpha] = 255;
    }
}

}  // namespace Morvane
