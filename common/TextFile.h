// Whole text files named by wide paths: bare line feeds in memory, CR LF on disk, and the UTF-8
// byte-order mark kept on disk but never shown to the program.
#pragma once

#include <string>

#include "platform/TextFiles.h"

namespace Common {

// Every line of the result ends with one line feed; an empty file gives an empty text. A UTF-8
// byte-order mark at the start of the file is not part of the text.
// Throws Exception("File couldn't be loaded.") when the file cannot be opened or read to its end,
// or when it holds a NUL byte (no edit box can hold it; the detail names the file and the line).
std::string ReadTextFile(const std::wstring& path);

// Replaces the file with `text`, each line feed written as CR LF. When the file on disk starts
// with a UTF-8 byte-order mark, the new text is written after one too, so the file keeps its
// form; so is a text that itself begins with the mark's character, which ReadTextFile would
// otherwise drop: what is written reads back as `text`. Either the whole new text is on disk or the old file is left as it was; any failure
// throws Exception("File couldn't be saved.") with the cause in its detail. `durability` says
// whether the text must survive the machine dying or only the program.
void WriteTextFile(const std::wstring& path, const std::string& text,
                   Platform::Durability durability = Platform::Durability::SurvivesSystemCrash);

}  // namespace Common
