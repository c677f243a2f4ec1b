// The camera of a scene: eye, target and up vector with the view and projection matrices built
// from them. A plain value; whoever moves the camera rebuilds `view`.
#pragma once

#include "math/Matrix4x4.h"
#include "math/Vector3.h"

namespace RealTimeApp {

struct Camera {
    Math::Vector3 position;
    Math::Vector3 target;
    Math::Vector3 up;
    Math::Matrix4x4 view;
    Math::Matrix4x4 projection;
};

}  // namespace RealTimeApp
