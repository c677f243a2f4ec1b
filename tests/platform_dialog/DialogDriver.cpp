// The test driver: the message loop, and child processes (xdotool, xclip, xprop, xwininfo) run
// while that loop keeps GTK answering the X server.
#include "DialogDriver.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <sstream>
#include <thread>

extern char** environ;

namespace DialogDriver {
namespace {

// The bound for waiting on the display; what is waited for normally takes well under a second.
constexpr auto Patience = std::chrono::seconds(20);

pid_t Spawn(const std::vector<std::string>& argv, int* outputFd)
{
    std::vector<char*> args;
    for (const std::string& arg : argv) {
        args.push_back(const_cast<char*>(arg.c_str()));
    }
    args.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    int pipeFds[2] = {-1, -1};
    if (outputFd) {
        if (pipe(pipeFds) != 0) {
            return -1;
        }
        posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
        posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
        posix_spawn_file_actions_addclose(&actions, pipeFds[1]);
    } else {
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    }
    pid_t pid = -1;
    if (posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ) != 0) {
        pid = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    if (outputFd) {
        close(pipeFds[1]);
        fcntl(pipeFds[0], F_SETFL, O_NONBLOCK);
        *outputFd = pipeFds[0];
    }
    return pid;
}

}  // namespace

void PumpMessages()
{
    MSG msg;
    // One pass over the queue and its sources at most per message, as the program's loop does.
    for (int i = 0; i < 1000 && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

bool PumpUntil(const std::function<bool()>& done)
{
    auto deadline = std::chrono::steady_clock::now() + Patience;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        PumpMessages();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

int Run(const std::vector<std::string>& argv, std::string* output)
{
    int fd = -1;
    pid_t pid = Spawn(argv, output ? &fd : nullptr);
    if (pid < 0) {
        return -1;
    }
    int status = 0;
    bool exited = false;
    PumpUntil([&] {
        if (fd >= 0) {
            char buffer[4096];
            ssize_t count;
            while ((count = read(fd, buffer, sizeof buffer)) > 0) {
                output->append(buffer, static_cast<size_t>(count));
            }
        }
        exited = exited || waitpid(pid, &status, WNOHANG) == pid;
        return exited;
    });
    if (!exited) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
    }
    if (fd >= 0) {
        char buffer[4096];
        ssize_t count;
        while ((count = read(fd, buffer, sizeof buffer)) > 0) {
            output->append(buffer, static_cast<size_t>(count));
        }
        close(fd);
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int Start(const std::vector<std::string>& argv)
{
    return Spawn(argv, nullptr);
}

void Stop(int pid)
{
    if (pid > 0) {
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
    }
}

unsigned long FindXWindow(const std::string& title)
{
    std::string output;
    Run({"xdotool", "search", "--onlyvisible", "--name", "^" + title + "$"}, &output);
    std::istringstream lines(output);
    unsigned long window = 0;
    lines >> window;
    return window;
}

void ActivateAndClick(unsigned long xwindow, const RECT& rect)
{
    std::string id = std::to_string(xwindow);
    Run({"xdotool", "windowactivate", "--sync", id});
    std::string x = std::to_string((rect.left + rect.right) / 2);
    std::string y = std::to_string((rect.top + rect.bottom) / 2);
    // "mousemove --sync" waits for the pointer to move, so it is only asked for a real move.
    std::string location;
    Run({"xdotool", "getmouselocation"}, &location);
    if (location.find("x:" + x + " y:" + y + " ") != 0) {
        Run({"xdotool", "mousemove", "--sync", x, y});
    }
    Run({"xdotool", "click", "1"});
}

void Keys(const std::vector<std::string>& keys)
{
    std::vector<std::string> argv = {"xdotool", "key", "--delay", "30"};
    argv.insert(argv.end(), keys.begin(), keys.end());
    Run(argv);
}

void Type(const std::string& text)
{
    Run({"xdotool", "type", "--delay", "30", text});
}

}  // namespace DialogDriver
