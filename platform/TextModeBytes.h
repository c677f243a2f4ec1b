// The bytes a text-mode file holds for a text: every line feed preceded by a carriage return.
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

}  // namespace Platform
