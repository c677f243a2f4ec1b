// Notices that the log box shows above a compile result: what the user must know about the text
// just loaded or about the copy of their unsaved edits, which the compile result written in the
// same frame must not wipe out.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace Morvane {

// One line saying that the file at `path` is not valid UTF-8 and how many invalid byte
// sequences of `text` (its contents) the editor shows as replacement characters, which Save
// would then write; empty when `text` is valid UTF-8.
std::wstring InvalidUtf8Notice(const std::wstring& path, const std::string& text);

// At start: the editor's unsaved text from an earlier run lies at `keptPath`, beside the shader
// file at `shaderPath`; how to take it back.
std::wstring EarlierEditsNotice(const std::wstring& keptPath, const std::wstring& shaderPath);

// The earlier run's unsaved text was moved from `keptPath` to `asidePath`, so that `keptPath` can
// keep this run's.
std::wstring EarlierEditsMovedNotice(const std::wstring& asidePath, const std::wstring& keptPath);

// Another viewer open on the same scene owns the usual copy of unsaved edits at `usualPath`, so
// this one keeps its edits at `ownPath`.
std::wstring OtherViewerNotice(const std::wstring& usualPath, const std::wstring& ownPath);

// Other viewers of this scene ended without saving and left their unsaved edits at `paths`.
std::wstring OtherViewersEditsNotice(const std::vector<std::wstring>& paths);

// The editor's unsaved text could not be written to `keptPath`, for `reason` (the system's text).
std::wstring EditsNotKeptNotice(const std::wstring& keptPath, const std::wstring& reason);

// The earlier run's unsaved text at `keptPath` could not be moved aside, for `reason`, so this
// run's edits are not kept.
std::wstring EarlierEditsNotMovedNotice(const std::wstring& keptPath, const std::wstring& reason);

// The animation clock stands still at `seconds`, in frame `frame`; and the keys that move it.
std::wstring ClockStoppedNotice(float seconds, int32_t frame);

// The image file at `path` for input channel `channel` of a text in Shadertoy's form could not be
// used, for `reason` (one sentence); the channel shows the built-in noise instead.
std::wstring ChannelNotUsedNotice(const std::wstring& path, int channel, const std::wstring& reason);

// A text in Shadertoy's form needs GLSL 1.30 or later, and this OpenGL's shading language is
// `version` (as GL_SHADING_LANGUAGE_VERSION gives it).
std::wstring ShadingLanguageTooOldNotice(const std::string& version);

// The file at `path` changed on disk (another program wrote it) and its text was taken into the
// editor, which held no unsaved edits.
std::wstring ReloadedFromDiskNotice(const std::wstring& path);

// The file at `path` changed on disk while the editor holds unsaved edits, which were kept; what
// Reload and Save do now.
std::wstring ChangedUnderEditsNotice(const std::wstring& path);

// The file at `path` was deleted or moved away; the editor keeps its text and Save writes it back.
std::wstring FileGoneNotice(const std::wstring& path);

// The file at `path` changed on disk but could not be read, for `reason` (the system's text).
std::wstring FileUnreadableNotice(const std::wstring& path, const std::wstring& reason);

// Changes other programs make to the file at `path` cannot be followed, for `reason` (one
// sentence): Reload must take them.
std::wstring NotFollowedNotice(const std::wstring& path, const std::wstring& reason);

// This start follows a restart: the picture had stopped for `seconds` (after an edit when
// `afterEdit`, otherwise with the shader file's own text), so Morvane started again from the file
// at `shaderPath`; the edit is kept at `keptPath` when `editKept`.
std::wstring RestartedNotice(bool afterEdit, float seconds, const std::wstring& shaderPath, const std::wstring& keptPath,
                             bool editKept);

// MORVANE_STALL_SECONDS holds `value`, which is not a number of seconds; `seconds` is used.
std::wstring StallLimitNotice(const std::wstring& value, float seconds);

// `text` below `notice`; either alone when the other is empty.
std::wstring BelowNotice(const std::wstring& notice, const std::wstring& text);

}  // namespace Morvane
