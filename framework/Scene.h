// The framework's scene: the polymorphic, non-copyable holder of the camera. Concrete scenes
// derive from it and the application takes them by reference.
#pragma once

#include <boost/noncopyable.hpp>

#include "framework/Camera.h"

namespace RealTimeApp {

class Scene : boost::noncopyable {
public:
    explicit Scene(const Camera& camera);
    virtual ~Scene();

    Camera m_camera;
};

}  // namespace RealTimeApp
