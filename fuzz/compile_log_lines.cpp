// Fuzz target: the reader of compilers' logs, which turns a failed compile's messages into the
// marks in the editor's gutter. Any log must give marks on lines 1 to a billion, each from a line
// of the log, never more marks than lines; and a Mesa message naming a line the input chooses,
// put before the log, must give its mark first.
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "platform/SourceMarks.h"
#include "viewer/CompileLogLines.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Each byte a character: a log is mostly ASCII, and any byte value can stand in it.
    const std::wstring log(data, data + size);
    const std::vector<Platform::SourceMark> marks = Morvane::CompileLogLines(log);
    size_t lines = 0;
    for (size_t at = 0; at < log.size(); at = log.find(L'\n', at), at = at == std::wstring::npos ? log.size() : at + 1) {
        ++lines;
    }
    Fuzz::Check(marks.size() <= lines, "at most one mark per line of the log");
    for (const Platform::SourceMark& mark : marks) {
        Fuzz::Check(mark.line >= 1 && mark.line <= 1000000000, "a mark's line is from 1 to a billion");
        Fuzz::Check(mark.severity == Platform::SourceMarkSeverity::Error ||
                        mark.severity == Platform::SourceMarkSeverity::Warning,
                    "a mark is an error or a warning");
        // The words after the severity (which the reader may spell out with a space of its own).
        const size_t space = mark.text.find(L' ');
        const size_t start = space == std::wstring::npos ? 0 : mark.text.find_first_not_of(L' ', space);
        const std::wstring words = start == std::wstring::npos ? std::wstring() : mark.text.substr(start);
        Fuzz::Check(log.find(words) != std::wstring::npos, "a mark's words come from the log");
    }

    // A known message first: its line is the first mark's, whatever follows.
    const int line = 1 + static_cast<int>((size > 0 ? data[0] : 0) * 7919 % 100000);
    const std::wstring known = L"0:" + std::to_wstring(line) + L"(3): error: syntax error\n";
    const std::vector<Platform::SourceMark> withKnown = Morvane::CompileLogLines(known + log);
    Fuzz::Check(!withKnown.empty() && withKnown[0].line == line, "a Mesa message marks its line");
    Fuzz::Check(withKnown.size() == marks.size() + 1, "a message before the log adds one mark");
    return 0;
}
