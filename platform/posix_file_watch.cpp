// Following a file on Linux with inotify: the folder of the file and, through each symbolic link
// on the way, the folder of the file the link points to, each watched for the names that matter
// there. A folder watch the system drops (the folder was removed or moved) is set up again from
// the path at the next call, and the chain of links is followed again whenever one of its names
// changes. The inotify descriptor never blocks: each call reads what is queued and returns.
#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

#include "FileWatch.h"
#include "linux/PosixInternal.h"

namespace Platform {
namespace {

// What happens in a folder that may concern a file in it, and to the folder itself.
const uint32_t kFolderEvents = IN_CLOSE_WRITE | IN_MODIFY | IN_ATTRIB | IN_CREATE | IN_DELETE | IN_MOVED_FROM |
                               IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;
// The folder's watch is gone or follows the folder somewhere else: it is set up again by path.
const uint32_t kFolderLost = IN_DELETE_SELF | IN_MOVE_SELF | IN_IGNORED | IN_UNMOUNT;
// As the system follows links (its limit on links in a row).
const int kMostLinks = 40;

std::string DirectoryOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string BaseNameOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The folders the path leads through, each with the names that matter in it: the path's own
// name, then, while that is a symbolic link, the name of the file it points to.
std::map<std::string, std::set<std::string>> PlacesOf(const std::string& path)
{
    std::map<std::string, std::set<std::string>> places;
    std::string at = path;
    for (int depth = 0; depth < kMostLinks; ++depth) {
        places[DirectoryOf(at)].insert(BaseNameOf(at));
        struct stat info {};
        if (lstat(at.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
            break;
        }
        char target[PATH_MAX];
        const ssize_t length = readlink(at.c_str(), target, sizeof target - 1);
        if (length <= 0) {
            break;
        }
        const std::string next(target, static_cast<size_t>(length));
        at = next[0] == '/' ? next : DirectoryOf(at) + "/" + next;
    }
    return places;
}

// Why a folder cannot be watched, in words that name the limit where the system has one.
std::wstring WatchFailure(const std::string& folder, int error)
{
    std::wstring why;
    if (error == ENOSPC) {
        why = L"the system's limit on watched folders (fs.inotify.max_user_watches) is reached";
    } else if (error == EMFILE) {
        why = L"the system's limit on inotify instances (fs.inotify.max_user_instances) is reached";
    } else {
        why = Utf8ToWideText(std::strerror(error));
    }
    return L"The folder " + Utf8ToWideText(folder) + L" cannot be watched for changes: " + why + L".";
}

class InotifyWatch : public FileWatch {
public:
    InotifyWatch(int fd, const std::string& path) : m_fd(fd), m_path(path) {}
    ~InotifyWatch() override { close(m_fd); }
    InotifyWatch(const InotifyWatch&) = delete;
    InotifyWatch& operator=(const InotifyWatch&) = delete;

    // Watches the folders for the first time; false, with the reason, when the file's own folder
    // cannot be watched. A folder further along the links that is missing now is tried again later.
    bool Start(std::wstring& reason)
    {
        Rearm();
        const std::string own = DirectoryOf(m_path);
        const auto found = m_folders.find(own);
        if (found == m_folders.end() || found->second.wd < 0) {
            reason = WatchFailure(own, m_ownFolderError);
            return false;
        }
        return true;
    }

    bool TakeNews() override
    {
        bool news = false;
        bool rearm = m_incomplete;
        alignas(inotify_event) char buffer[8192];
        for (;;) {
            const ssize_t length = read(m_fd, buffer, sizeof buffer);
            if (length <= 0) {
                break;  // nothing more queued
            }
            for (ssize_t at = 0; at < length;) {
                const inotify_event* event = reinterpret_cast<const inotify_event*>(buffer + at);
                at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
                if (event->mask & IN_Q_OVERFLOW) {
                    news = rearm = true;  // events were lost: anything may have happened
                } else if (event->mask & kFolderLost) {
                    Forget(event->wd);
                    news = rearm = true;
                } else if (event->len > 0 && Concerns(event->wd, event->name)) {
                    // A link on the way may now point elsewhere: its target's folder is found again.
                    news = rearm = true;
                }
            }
        }
        if (rearm && Rearm()) {
            news = true;  // a folder missing until now is there: the file may be too
        }
        return news;
    }

private:
    struct Folder {
        int wd = -1;
        std::set<std::string> names;
    };

    bool Concerns(int wd, const char* name) const
    {
        for (const auto& folder : m_folders) {
            if (folder.second.wd == wd && folder.second.names.count(name) > 0) {
                return true;
            }
        }
        return false;
    }

    // The system dropped this watch (or it follows a folder that moved): it is set up again.
    void Forget(int wd)
    {
        for (auto& folder : m_folders) {
            if (folder.second.wd == wd) {
                inotify_rm_watch(m_fd, wd);  // a watch on a moved folder is still there
                folder.second.wd = -1;
            }
        }
    }

    // Watches the folders the path now leads through and no others; true when a folder that was
    // not watched before now is.
    bool Rearm()
    {
        const std::map<std::string, std::set<std::string>> places = PlacesOf(m_path);
        for (auto it = m_folders.begin(); it != m_folders.end();) {
            if (places.count(it->first) == 0) {
                if (it->second.wd >= 0 && !SharedWatch(it->first, it->second.wd)) {
                    inotify_rm_watch(m_fd, it->second.wd);
                }
                it = m_folders.erase(it);
            } else {
                ++it;
            }
        }
        bool added = false;
        m_incomplete = false;
        for (const auto& place : places) {
            Folder& folder = m_folders[place.first];
            folder.names = place.second;
            if (folder.wd >= 0) {
                continue;
            }
            folder.wd = inotify_add_watch(m_fd, place.first.c_str(), kFolderEvents);
            if (folder.wd < 0) {
                if (place.first == DirectoryOf(m_path)) {
                    m_ownFolderError = errno;
                }
                m_incomplete = true;
            } else {
                added = true;
            }
        }
        return added;
    }

    // Whether another folder name leads to the same watch (the same folder by two names).
    bool SharedWatch(const std::string& name, int wd) const
    {
        for (const auto& folder : m_folders) {
            if (folder.first != name && folder.second.wd == wd) {
                return true;
            }
        }
        return false;
    }

    int m_fd;
    std::string m_path;
    std::map<std::string, Folder> m_folders;
    // Some folder on the way could not be watched: it is tried again at every call.
    bool m_incomplete = false;
    int m_ownFolderError = 0;
};

}  // namespace

std::unique_ptr<FileWatch> WatchFile(const std::wstring& path, std::wstring& reason)
{
    const std::string utf8 = NativePath(path);
    const int fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (fd < 0) {
        reason = WatchFailure(DirectoryOf(utf8), errno);
        return nullptr;
    }
    std::unique_ptr<InotifyWatch> watch(new InotifyWatch(fd, utf8));
    if (!watch->Start(reason)) {
        return nullptr;
    }
    return watch;
}

}  // namespace Platform
