// The inputs a program built from a text in Shadertoy's form reads: which of them it uses, found
// once after each link, and their values set each frame for those alone. An input the text leaves
// unused costs nothing per frame and is no error.
#pragma once

#include <functional>

#include <GL/glew.h>

#include "math/Matrix4x4.h"
#include "math/Vector3.h"
#include "opengl/OpenglDriver.h"
#include "viewer/AnimationClock.h"
#include "viewer/FrameRate.h"
#include "viewer/ShaderChannels.h"
#include "viewer/ShadertoyMouse.h"

namespace Morvane {

// Where each frame's values come from.
struct ShadertoyInputSources {
    Math::Vector3 resolution;  // the drawing surface's width, height and 1
    uint64_t surfaceHeight;
    const AnimationClock& clock;  // iTime, iTimeDelta and iFrame, as totalTime
    std::function<float()> frameRate;  // asked only when the text reads iFrameRate
    const ShadertoyMouse& mouse;
    const ShaderChannels& channels;
    const Math::Vector3& cameraPosition;
    std::function<Math::Matrix4x4()> screenToWorld;  // asked only when the text uses it
    // iDate: the local date now, or a fixed one (a render's frames must not depend on when they
    // are drawn).
    const float* fixedDate = nullptr;
};

class ShadertoyInputs {
public:
    // After each link: finds the inputs `program` uses, gives each channel sampler it uses its
    // texture unit (channel N on unit N), and has the driver bind those channels' textures, and
    // no others, while drawing.
    void Find(OpenglDriver::OpenglProgram& program, OpenglDriver::OpenglDriver& driver,
              const ShaderChannels& channels);

    // Each frame: sets the inputs the program uses, and only those.
    void Set(OpenglDriver::OpenglProgram& program, const ShadertoyInputSources& sources) const;

private:
    enum Input {
        Resolution, Time, TimeDelta, FrameRate, Frame, Mouse, Date, SampleRate, ChannelTime, ChannelResolution,
        ScreenToWorld, CameraPos, TotalTime, InputCount
    };
    GLint m_locations[InputCount] = {};
    bool m_usesAny = false;
};

}  // namespace Morvane
