// A GLSL text with the stage it is compiled for.
#pragma once

#include <cstdint>
#include <string>

namespace OpenglDriver {

// Stage 1 is compiled as a fragment shader; every other value as a vertex shader.
enum ShaderStage : int32_t {
    VertexShader = 0,
    PixelShader = 1
};

struct ShaderSource {
    std::string source;
    ShaderStage stage;
};

}  // namespace OpenglDriver
