// Following one file from outside: news that it may have been written, replaced (a new file
// renamed over it, as many editors save), removed or made again. The file is watched through its
// folder, so that a file renamed over it is seen as well as a write into it; where the path is a
// symbolic link, the folder of the file it points to is watched too. The watch only says that
// something happened: the caller reads the file and compares.
#pragma once

#include <memory>
#include <string>

namespace Platform {

class FileWatch {
public:
    virtual ~FileWatch() = default;
    // Whether anything may have happened to the file since the last call (or since the watch
    // began); never waits. It may also say so for a change that left the file as it was, or (on
    // Windows) for a change to another file of the same folder.
    virtual bool TakeNews() = 0;
};

// Starts watching the file at `path` (a wide path; backslashes allowed); the file need not exist.
// Null, with `reason` saying why in one sentence, when its folder cannot be watched.
std::unique_ptr<FileWatch> WatchFile(const std::wstring& path, std::wstring& reason);

}  // namespace Platform
