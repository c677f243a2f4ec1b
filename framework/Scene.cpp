// The scene base: keeps a copy of the camera it is given.
#include "framework/Scene.h"

namespace RealTimeApp {

Scene::Scene(const Camera& camera)
    : m_camera(camera)
{
}

Scene::~Scene() = default;

}  // namespace RealTimeApp
