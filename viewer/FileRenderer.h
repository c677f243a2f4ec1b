// Rendering a scene to files with no window and no display: the scene's pixel shader from its
// file, the starting camera with the window's vertical field of view at the render's size, frame
// i at animation time i / fps, drawn in tiles where the picture is larger than one draw may be,
// and written as stills, a sequence or a film.
#pragma once

#include <string>

#include "viewer/CommandLine.h"
#include "viewer/ScenePaths.h"

namespace Morvane {

// Renders every frame `options` asks for, telling the progress on standard error. `ffmpeg` is the
// ffmpeg program for a film. Throws Common::Exception when the text does not build, nothing can
// be drawn, or an output cannot be written; no output is then left under its name.
void RenderToFiles(const ScenePaths& paths, const RenderOptions& options, const std::wstring& ffmpeg);

// The side of the square tiles a picture is drawn in: MORVANE_RENDER_TILE when it is set to a
// number of pixels (a tuning knob), else 4096; never more than the driver's largest
// renderbuffer.
uint32_t RenderTileSide(uint32_t largestRenderbuffer);

}  // namespace Morvane
