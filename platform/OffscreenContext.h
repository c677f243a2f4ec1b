// An OpenGL context that draws into no window, for rendering pictures to files: on Linux through
// EGL's surfaceless platform (no X server needed; Mesa renders in software where there is no
// GPU), on Windows through a hidden window's WGL context. It is current on the calling thread
// while it lives, and the OpenGL entry points (GLEW's) are loaded for it.
#pragma once

#include <memory>
#include <string>

namespace Platform {

class OffscreenContext {
public:
    virtual ~OffscreenContext() = default;
};

// Creates the context and makes it current. Null when there is none to be had, with `reason`
// saying what failed in one sentence.
std::unique_ptr<OffscreenContext> CreateOffscreenContext(std::wstring& reason);

}  // namespace Platform
