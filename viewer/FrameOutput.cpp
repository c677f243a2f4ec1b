// Writing stills, sequences and films.
#include "FrameOutput.h"

#include <cwctype>
#include <locale>
#include <sstream>

#include "common/Exception.h"
#include "platform/ImageFiles.h"
#include "platform/Windows.h"

namespace Morvane {
namespace {

[[noreturn]] void Fail(const std::wstring& sentence)
{
    throw Common::Exception(sentence, Common::ErrorDetail());
}

// A number as ffmpeg reads it, with a point whatever the locale.
std::wstring Decimal(double value)
{
    std::wostringstream text;
    text.imbue(std::locale::classic());
    text.precision(10);
    text << value;
    return text.str();
}

bool EndsWith(const std::wstring& text, const std::wstring& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// The film's temporary name beside it: hidden, marked with the process, with the film's own
// extension so that ffmpeg picks the same container.
std::wstring TemporaryFilm(const std::wstring& film)
{
    const size_t separator = film.find_last_of(L"\\/");
    const std::wstring folder = separator == std::wstring::npos ? std::wstring() : film.substr(0, separator + 1);
    const std::wstring name = separator == std::wstring::npos ? film : film.substr(separator + 1);
    const size_t dot = name.rfind(L'.');
    return folder + L"." + name.substr(0, dot) + L".rendering-" + std::to_wstring(GetCurrentProcessId()) +
           name.substr(dot);
}

}  // namespace

std::vector<std::wstring> FrameOutput::FilmArguments(const RenderOptions& options, const std::wstring& film)
{
    std::wstring lower = options.output;
    for (wchar_t& c : lower) c = static_cast<wchar_t>(towlower(static_cast<wint_t>(c)));
    const bool webm = EndsWith(lower, L".webm");
    // 4:2:0 chroma, which every player takes, needs an even size; an odd one keeps full chroma.
    const bool even = options.width % 2 == 0 && options.height % 2 == 0;
    std::vector<std::wstring> arguments = {
        L"-hide_banner", L"-loglevel", L"error", L"-y",
        L"-f", L"rawvideo", L"-pixel_format", L"rgba",
        L"-video_size", std::to_wstring(options.width) + L"x" + std::to_wstring(options.height),
        L"-framerate", Decimal(options.fps), L"-i", L"pipe:0",
        // The frames come with their rows from the bottom up, as OpenGL reads them.
        L"-vf", L"vflip", L"-an"};
    const std::vector<std::wstring> codec =
        webm ? std::vector<std::wstring>{L"-c:v", L"libvpx-vp9", L"-b:v", L"0", L"-crf", L"30"}
             : std::vector<std::wstring>{L"-c:v", L"libx264", L"-crf", L"18", L"-preset", L"medium"};
    arguments.insert(arguments.end(), codec.begin(), codec.end());
    arguments.push_back(L"-pix_fmt");
    arguments.push_back(even ? L"yuv420p" : L"yuv444p");
    arguments.push_back(film);
    return arguments;
}

FrameOutput::FrameOutput(const RenderOptions& options, const std::wstring& ffmpeg)
    : m_options(options)
{
    if (options.kind != OutputKind::Film) {
        return;
    }
    m_temporaryFilm = TemporaryFilm(options.output);
    std::wstring reason;
    m_ffmpeg = Platform::StartProgramWithInput(ffmpeg, FilmArguments(options, m_temporaryFilm), reason);
    if (!m_ffmpeg) {
        Fail(L"The film " + options.output + L" could not be made: " + reason);
    }
}

FrameOutput::~FrameOutput()
{
    if (m_ffmpeg) {
        m_ffmpeg->Finish();
        DeleteFileW(m_temporaryFilm.c_str());
    }
}

void FrameOutput::Write(uint32_t frame, const std::vector<uint8_t>& pixels)
{
    if (m_ffmpeg) {
        if (!m_ffmpeg->Write(pixels.data(), pixels.size())) {
            Fail(L"The film " + m_options.output + L" could not be made: ffmpeg stopped taking frames at frame " +
                 std::to_wstring(frame) + L" (its own message is above).");
        }
        return;
    }
    const std::wstring file =
        m_options.kind == OutputKind::Sequence ? FrameFileName(m_options.output, frame) : m_options.output;
    std::wstring reason;
    if (!Platform::WritePngFile(file, m_options.width, m_options.height, pixels.data(), reason)) {
        Fail(reason);
    }
}

void FrameOutput::Finish()
{
    if (!m_ffmpeg) {
        return;
    }
    const int status = m_ffmpeg->Finish();
    m_ffmpeg.reset();
    if (status != 0) {
        DeleteFileW(m_temporaryFilm.c_str());
        Fail(L"The film " + m_options.output + L" could not be made: ffmpeg ended with status " +
             std::to_wstring(status) + L" (its own message is above).");
    }
    if (!MoveFileExW(m_temporaryFilm.c_str(), m_options.output.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        const Common::ErrorDetail detail = Common::CaptureSystemError();
        DeleteFileW(m_temporaryFilm.c_str());
        throw Common::Exception(L"The film " + m_options.output + L" could not take its name.", detail);
    }
}

}  // namespace Morvane
