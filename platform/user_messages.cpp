// The message pump: the posted-message queue, the message sources served in turn by
// PeekMessageW, the quit request, dispatch to window procedures and sending to a window at once.
#include <deque>
#include <string>
#include <utility>
#include <vector>

#include "Windows.h"
#include "linux/PosixInternal.h"
#include "linux/UserInternal.h"

namespace Platform {
namespace {

struct NamedSource {
    std::string name;
    MessageSource poll;
};

struct Queue {
    std::deque<MSG> posted;
    std::vector<NamedSource> sources;
    size_t nextSource = 0;
    bool quitRequested = false;
    int quitCode = 0;
};

Queue& TheQueue()
{
    static Queue queue;
    return queue;
}

MSG MakeMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    MSG msg{};
    msg.hwnd = hwnd;
    msg.message = message;
    msg.wParam = wParam;
    msg.lParam = lParam;
    return msg;
}

bool TakePosted(MSG& msg)
{
    Queue& queue = TheQueue();
    if (queue.posted.empty()) {
        return false;
    }
    msg = queue.posted.front();
    queue.posted.pop_front();
    return true;
}

// One round over the posted queue and every source, starting where the last round stopped, so
// that a busy source cannot keep the others waiting.
bool TakeFromAnySource(MSG& msg)
{
    Queue& queue = TheQueue();
    size_t count = queue.sources.size() + 1;
    for (size_t i = 0; i < count; ++i) {
        size_t index = (queue.nextSource + i) % count;
        bool found = index == 0 ? TakePosted(msg) : queue.sources[index - 1].poll(msg);
        if (found) {
            queue.nextSource = (index + 1) % count;
            return true;
        }
    }
    // A source may have posted messages while it was polled.
    return TakePosted(msg);
}

}  // namespace

void PostToQueue(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    TheQueue().posted.push_back(MakeMessage(hwnd, message, wParam, lParam));
}

void AddMessageSource(const char* name, MessageSource source)
{
    Queue& queue = TheQueue();
    for (NamedSource& existing : queue.sources) {
        if (existing.name == name) {
            existing.poll = std::move(source);
            return;
        }
    }
    queue.sources.push_back(NamedSource{name, std::move(source)});
}

void ResetMessageQueue()
{
    Queue& queue = TheQueue();
    queue.posted.clear();
    queue.quitRequested = false;
    queue.quitCode = 0;
}

}  // namespace Platform

BOOL WINAPI PeekMessageW(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeMessage)
{
    if (!msg) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (hwnd != nullptr || filterMin != 0 || filterMax != 0) {
        // Only the whole queue of the thread can be peeked at.
        SetLastError(ERROR_NOT_SUPPORTED);
        return FALSE;
    }
    Platform::Queue& queue = Platform::TheQueue();
    if (Platform::TakeFromAnySource(*msg)) {
        if ((removeMessage & PM_REMOVE) == 0) {
            queue.posted.push_front(*msg);
        }
        return TRUE;
    }
    if (queue.quitRequested) {
        *msg = Platform::MakeMessage(nullptr, WM_QUIT, static_cast<WPARAM>(queue.quitCode), 0);
        if (removeMessage & PM_REMOVE) {
            queue.quitRequested = false;
        }
        return TRUE;
    }
    return FALSE;
}

BOOL WINAPI TranslateMessage(const MSG*)
{
    // No keyboard messages are produced, so there is nothing to translate into WM_CHAR.
    return FALSE;
}

LRESULT WINAPI DispatchMessageW(const MSG* msg)
{
    if (!msg || !msg->hwnd) {
        return 0;
    }
    Platform::WindowObject* window = Platform::FindWindowObject(msg->hwnd);
    if (!window) {
        return 0;
    }
    return window->Deliver(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

BOOL WINAPI PostMessageW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (hwnd && !Platform::FindWindowObject(hwnd)) {
        return FALSE;
    }
    Platform::PostToQueue(hwnd, message, wParam, lParam);
    return TRUE;
}

LRESULT WINAPI SendMessageW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    // One thread owns every window, so a sent message is handed to the window at once.
    Platform::WindowObject* window = Platform::FindWindowObject(hwnd);
    if (!window) {
        return 0;
    }
    return window->Deliver(hwnd, message, wParam, lParam);
}

void WINAPI PostQuitMessage(int exitCode)
{
    Platform::TheQueue().quitRequested = true;
    Platform::TheQueue().quitCode = exitCode;
}
