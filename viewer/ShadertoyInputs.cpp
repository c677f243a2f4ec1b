// Looking up the inputs' locations after a link and setting the used ones each frame.
#include "viewer/ShadertoyInputs.h"

#include <algorithm>
#include <string>

namespace Morvane {
namespace {

const char* const kNames[] = {"iResolution", "iTime", "iTimeDelta", "iFrameRate", "iFrame", "iMouse",
                              "iDate", "iSampleRate", "iChannelTime", "iChannelResolution",
                              "screen2World", "cameraPos", "totalTime"};

const float kSampleRate = 44100.0f;

}  // namespace

void ShadertoyInputs::Find(OpenglDriver::OpenglProgram& program, OpenglDriver::OpenglDriver& driver,
                           const ShaderChannels& channels)
{
    static_assert(sizeof kNames / sizeof kNames[0] == InputCount, "one name per input");
    m_usesAny = false;
    for (int input = 0; input < InputCount; ++input) {
        m_locations[input] = program.ParameterLocation(kNames[input]);
        m_usesAny = m_usesAny || m_locations[input] >= 0;
    }
    driver.ClearTextureUnits();
    for (int channel = 0; channel < kChannelCount; ++channel) {
        const GLint sampler = program.ParameterLocation("iChannel" + std::to_string(channel));
        if (sampler >= 0) {
            program.Use();
            program.SetParameterAt(sampler, static_cast<int32_t>(channel));
            driver.SetTextureUnit(channels.Texture(channel), channel);
        }
    }
}

void ShadertoyInputs::Set(OpenglDriver::OpenglProgram& program, const ShadertoyInputSources& sources) const
{
    if (!m_usesAny) {
        return;
    }
    program.Use();
    if (m_locations[Resolution] >= 0) {
        program.SetParameterAt(m_locations[Resolution], sources.resolution);
    }
    if (m_locations[Time] >= 0) {
        program.SetParameterAt(m_locations[Time], sources.clock.Time());
    }
    if (m_locations[TimeDelta] >= 0) {
        program.SetParameterAt(m_locations[TimeDelta], sources.clock.FrameSeconds());
    }
    if (m_locations[FrameRate] >= 0) {
        program.SetParameterAt(m_locations[FrameRate], sources.frameRate());
    }
    if (m_locations[Frame] >= 0) {
        program.SetParameterAt(m_locations[Frame], sources.clock.Frame());
    }
    if (m_locations[Mouse] >= 0) {
        float mouse[4];
        sources.mouse.Value(sources.surfaceHeight, mouse);
        program.SetParameterAt(m_locations[Mouse], mouse);
    }
    if (m_locations[Date] >= 0) {
        float date[4];
        if (sources.fixedDate) {
            std::copy(sources.fixedDate, sources.fixedDate + 4, date);
        } else {
            LocalDate(date);
        }
        program.SetParameterAt(m_locations[Date], date);
    }
    if (m_locations[SampleRate] >= 0) {
        program.SetParameterAt(m_locations[SampleRate], kSampleRate);
    }
    if (m_locations[ChannelTime] >= 0) {
        const float times[kChannelCount] = {};
        program.SetFloatArrayAt(m_locations[ChannelTime], times, kChannelCount);
    }
    if (m_locations[ChannelResolution] >= 0) {
        program.SetVector3ArrayAt(m_locations[ChannelResolution], sources.channels.Resolutions(), kChannelCount);
    }
    if (m_locations[ScreenToWorld] >= 0) {
        program.SetParameterAt(m_locations[ScreenToWorld], sources.screenToWorld());
    }
    if (m_locations[CameraPos] >= 0) {
        program.SetParameterAt(m_locations[CameraPos], sources.cameraPosition);
    }
    if (m_locations[TotalTime] >= 0) {
        program.SetParameterAt(m_locations[TotalTime], sources.clock.Time());
    }
}

}  // namespace Morvane
