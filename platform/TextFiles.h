// Text-mode files named by wide Windows paths: line feeds in memory, carriage return and line
// feed on disk, and a save that either writes the whole new text or leaves the old one.
#pragma once

#include <istream>
#include <memory>
#include <string>

namespace Platform {

// Reads a whole file in text mode: a carriage return before a line feed is delivered as the line
// feed alone; every other byte (a zero, a Ctrl+Z) is delivered as it is. Returns null, with the
// last error set to the cause, when it cannot be opened or read to its end.
std::unique_ptr<std::istream> OpenTextFileForReading(const std::wstring& path);

// How far a replaced file must be safe. A saved file survives the machine dying: its text is
// flushed to disk before the rename. A working copy (the editor's unsaved text, written at every
// keystroke) only has to survive the program dying, which the rename alone ensures.
enum class Durability { SurvivesSystemCrash, SurvivesProgramCrash };

// Writes `text` to the file in text mode (each line feed as carriage return and line feed)
// through a temporary file in the same folder (named after the file and this process's id) that is flushed to disk (for
// SurvivesSystemCrash) and then renamed over the target. An existing file keeps its permissions; a symbolic link stays a link and the file it
// points to is replaced. Where that cannot work but the file itself may be written (the folder
// refuses the temporary file or the replacement, or the file has more than one hard link), the
// file is rewritten in place, flushed to disk, and given back its old text if the rewrite fails.
// Returns false, with the last error set to the cause, when anything failed; the old file is
// then left as it was, except where `*partial` is set: a rewrite in place failed and the old text
// could not be put back either, so the file may now hold only part of the new text.
bool ReplaceTextFile(const std::wstring& path, const std::string& text,
                     Durability durability = Durability::SurvivesSystemCrash, bool* partial = nullptr);

// Removes the temporary files that saves of `path` left beside it when their process was killed
// between making the file and renaming it. A save's temporary file carries the saving process's
// id in its name; only those of `path` whose process is gone are removed, so a save running in
// another viewer at the same time keeps its file, and every other file stays. Failures to remove
// one are ignored: it is only clutter.
void RemoveStaleSaveFiles(const std::wstring& path);

}  // namespace Platform
