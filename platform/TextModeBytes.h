// The bytes a text-mode file holds for a text, and the text a file's bytes hold: every line feed
// preceded by a carriage return on disk, bare line feeds in memory. Every other byte, a zero or a
// Ctrl+Z too, is text like any other.
#pragma once

#include <string>

namespace Platform {

inline std::string WithCrLf(const std::string& text)
{
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

// A carriage return directly before a line feed is dropped; one anywhere else stays.
inline std::string WithoutCrBeforeLf(const std::string& bytes)
{
    std::string text;
    text.reserve(bytes.size());
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') continue;
        text += bytes[i];
    }
    return text;
}

}  // namespace Platform
