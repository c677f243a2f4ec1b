// The watch tests' fixture: the text-file tests' folder of real files, a watch on one of its
// names, and waiting a bounded time for the watch's news (which Windows may give a little late).
#pragma once

#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "TextFileFixture.h"
#include "platform/FileWatch.h"

class FileWatchTest : public TextFileTest {
protected:
    std::unique_ptr<Platform::FileWatch> Watch(const std::string& name) const
    {
        std::wstring reason;
        std::unique_ptr<Platform::FileWatch> watch = Platform::WatchFile(WidePath(name), reason);
        EXPECT_NE(watch, nullptr) << std::string(reason.begin(), reason.end());
        return watch;
    }

    // Whether the watch has news within `milliseconds`.
    static bool NewsWithin(Platform::FileWatch& watch, int milliseconds)
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
        do {
            if (watch.TakeNews()) {
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        } while (std::chrono::steady_clock::now() < end);
        return false;
    }

    // Takes whatever news comes within a moment, so that the next question starts afresh.
    static void Drain(Platform::FileWatch& watch)
    {
        while (NewsWithin(watch, 200)) {
        }
    }
};
