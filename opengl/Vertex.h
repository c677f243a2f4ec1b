// The GPU vertex layout: position then normal, 24 bytes without padding.
#pragma once

#include "math/Vector3.h"

namespace OpenglDriver {

struct Vertex {
    Math::Vector3 position;
    Math::Vector3 normal;
};

static_assert(sizeof(Vertex) == 24, "a vertex is six packed floats");

}  // namespace OpenglDriver
