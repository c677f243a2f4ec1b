// Notices for the log box, and putting a compile result below one.
#include "LogNotice.h"

#include <algorithm>
#include <cmath>

#include "viewer/EditText.h"
#include "viewer/RestartState.h"

namespace Morvane {
namespace {

const wchar_t kReplacement = L'\uFFFD';
const char kEncodedReplacement[] = "\xEF\xBF\xBD";

// How many replacement characters the conversion for the editor put in for invalid input: those
// in the converted text less those that the file itself held, validly encoded.
std::size_t InvalidSequences(const std::string& text)
{
    const std::wstring wide = ToEditText(text);
    const std::size_t converted = static_cast<std::size_t>(std::count(wide.begin(), wide.end(), kReplacement));
    std::size_t held = 0;
    for (std::size_t at = text.find(kEncodedReplacement); at != std::string::npos;
         at = text.find(kEncodedReplacement, at + 3)) {
        ++held;
    }
    // Never below zero, whatever the conversion made of the text.
    return converted > held ? converted - held : 0;
}

std::wstring FileName(const std::wstring& path)
{
    const std::size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::wstring WithoutLineEnd(std::wstring text)
{
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ')) {
        text.pop_back();
    }
    return text;
}

}  // namespace

std::wstring InvalidUtf8Notice(const std::wstring& path, const std::string& text)
{
    const std::size_t count = InvalidSequences(text);
    if (count == 0) {
        return std::wstring();
    }
    const std::wstring sequences = count == 1 ? L" invalid byte sequence was" : L" invalid byte sequences were";
    return L"Note: " + FileName(path) + L" is not valid UTF-8; " + std::to_wstring(count) + sequences +
           L" replaced with \uFFFD, and Save would write the replacements.";
}

std::wstring EarlierEditsNotice(const std::wstring& keptPath, const std::wstring& shaderPath)
{
    const std::wstring kept = FileName(keptPath);
    const std::wstring shader = FileName(shaderPath);
    return L"Note: edits an earlier run never saved are kept in " + kept + L", beside " + shader +
           L". To take them back, copy " + kept + L" over " + shader +
           L" and press Reload, or open it and paste its text into the editor.";
}

std::wstring EarlierEditsMovedNotice(const std::wstring& asidePath, const std::wstring& keptPath)
{
    return L"Note: the earlier run's unsaved edits are now in " + FileName(asidePath) + L"; " +
           FileName(keptPath) + L" keeps this run's edits.";
}

std::wstring OtherViewerNotice(const std::wstring& usualPath, const std::wstring& ownPath)
{
    return L"Note: another Morvane is open on this scene and keeps its unsaved edits in " + FileName(usualPath) +
           L"; this one keeps yours in " + FileName(ownPath) + L".";
}

std::wstring OtherViewersEditsNotice(const std::vector<std::wstring>& paths)
{
    std::wstring names;
    for (const std::wstring& path : paths) {
        names += (names.empty() ? L"" : L", ") + FileName(path);
    }
    const std::wstring copies = paths.size() == 1 ? L"its edits are kept in " : L"their edits are kept in ";
    const std::wstring viewers = paths.size() == 1 ? L"another viewer of this scene" : L"other viewers of this scene";
    return L"Note: " + viewers + L" ended without saving; " + copies + names + L".";
}

std::wstring EditsNotKeptNotice(const std::wstring& keptPath, const std::wstring& reason)
{
    return L"Your edits are not being kept: " + FileName(keptPath) +
           L" couldn't be written, so a crash before Save would lose them.\n" + WithoutLineEnd(reason);
}

std::wstring EarlierEditsNotMovedNotice(const std::wstring& keptPath, const std::wstring& reason)
{
    return L"Your edits are not being kept: the earlier run's unsaved edits in " + FileName(keptPath) +
           L" could not be moved aside, and are never written over, so a crash before Save would lose "
           L"this run's edits.\n" + WithoutLineEnd(reason);
}

std::wstring ClockStoppedNotice(float seconds, int32_t frame)
{
    // Milliseconds, written with a point whatever the locale.
    const long long milliseconds = std::llround(static_cast<double>(seconds) * 1000.0);
    std::wstring fraction = std::to_wstring(milliseconds % 1000);
    fraction.insert(0, 3 - fraction.size(), L'0');
    return L"The clock is stopped at " + std::to_wstring(milliseconds / 1000) + L"." + fraction + L" s (frame " +
           std::to_wstring(frame) + L"): Space starts it again, Left and Right step it, Home sets it to 0.";
}

std::wstring ChannelNotUsedNotice(const std::wstring& path, int channel, const std::wstring& reason)
{
    return L"Note: " + FileName(path) + L" couldn't be used, so channel " + std::to_wstring(channel) +
           L" shows noise instead.\n" + WithoutLineEnd(reason);
}

std::wstring ShadingLanguageTooOldNotice(const std::string& version)
{
    const std::wstring needs = L"This text is written for Shadertoy and needs OpenGL's shading language GLSL 1.30 "
                               L"or later, but this OpenGL ";
    if (version.empty()) {
        return needs + L"does not say which one it offers.";
    }
    std::wstring offered;
    for (char c : version) {
        offered += static_cast<unsigned char>(c) < 0x80 ? static_cast<wchar_t>(c) : L'?';
    }
    return needs + L"offers GLSL " + offered + L".";
}

std::wstring ReloadedFromDiskNotice(const std::wstring& path)
{
    return L"Note: " + FileName(path) + L" changed on disk and was reloaded.";
}

std::wstring ChangedUnderEditsNotice(const std::wstring& path)
{
    return L"Note: " + FileName(path) + L" changed on disk, and the editor holds unsaved edits, so they were left "
           L"as they are. Reload takes the file's text in place of the editor's; Save keeps the editor's text, "
           L"writing it over the file.";
}

std::wstring FileGoneNotice(const std::wstring& path)
{
    return L"Note: " + FileName(path) + L" was deleted or moved away. The editor keeps its text, and Save writes "
           L"it back.";
}

std::wstring FileUnreadableNotice(const std::wstring& path, const std::wstring& reason)
{
    return L"Note: " + FileName(path) + L" changed on disk but couldn't be read, so the editor keeps its text.\n" +
           WithoutLineEnd(reason);
}

std::wstring NotFollowedNotice(const std::wstring& path, const std::wstring& reason)
{
    return L"Note: changes other programs make to " + FileName(path) +
           L" are not followed, so press Reload to take them.\n" + WithoutLineEnd(reason);
}

std::wstring RestartedNotice(bool afterEdit, float seconds, const std::wstring& shaderPath, const std::wstring& keptPath,
                             bool editKept)
{
    const std::wstring stopped = L" stopped the picture for " + SecondsText(seconds) +
                                 L" s (a loop that never ends?), so Morvane restarted from " + FileName(shaderPath);
    if (!afterEdit) {
        return L"The shader file's own text" + stopped + L"; if it stops the picture again, Morvane ends.";
    }
    return L"The last edit" + stopped +
           (editKept ? L"; the edit is kept in " + FileName(keptPath) + L"."
                     : std::wstring(L"; the edit could not be kept."));
}

std::wstring StallLimitNotice(const std::wstring& value, float seconds)
{
    return L"Note: MORVANE_STALL_SECONDS is \"" + value + L"\", which is not a number of seconds, so Morvane "
           L"starts itself again after a frame of " + SecondsText(seconds) + L" s.";
}

std::wstring BelowNotice(const std::wstring& notice, const std::wstring& text)
{
    if (notice.empty() || text.empty()) {
        return notice + text;
    }
    return notice + L"\n" + text;
}

}  // namespace Morvane
