// The thread's message queue: messages posted by the layer and the program, and the message
// sources (X events, GTK) that PeekMessageW serves in turn so that none starves.
#pragma once

#include <functional>

#include "../winapi/WindowApi.h"

namespace Platform {

// Appends a message to the posted-message queue (PostMessageW without the handle check).
void PostToQueue(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// A source of messages polled by PeekMessageW. It returns true and fills `msg` when it has a
// message; it may also post messages to the queue and return false. It must never block.
using MessageSource = std::function<bool(MSG& msg)>;

// Registers a source once; `name` identifies it so a second registration replaces the first.
void AddMessageSource(const char* name, MessageSource source);

// Removes all posted messages and the quit request (used when a test starts afresh).
void ResetMessageQueue();

}  // namespace Platform
