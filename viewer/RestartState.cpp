// Writing and reading the state a restarted viewer is handed.
#include "RestartState.h"

#include <cmath>
#include <cstdlib>
#include <cwchar>
#include <sstream>

namespace Morvane {

const wchar_t* const kRestartVariable = L"MORVANE_RESTART";

namespace {

std::wstring RectText(const RECT& rect)
{
    return std::to_wstring(rect.left) + L"," + std::to_wstring(rect.top) + L"," + std::to_wstring(rect.right) + L"," +
           std::to_wstring(rect.bottom);
}

// A whole decimal number (an optional minus sign, then digits) that fits a LONG.
bool ParseLong(const std::wstring& text, LONG& value)
{
    std::size_t start = text.size() > 0 && text[0] == L'-' ? 1 : 0;
    if (text.size() == start || text.size() - start > 9) {
        return false;
    }
    for (std::size_t i = start; i < text.size(); ++i) {
        if (text[i] < L'0' || text[i] > L'9') {
            return false;
        }
    }
    value = static_cast<LONG>(std::wcstol(text.c_str(), nullptr, 10));
    return true;
}

bool ParseRect(const std::wstring& text, RECT& rect)
{
    LONG values[4] = {0, 0, 0, 0};
    std::size_t start = 0;
    for (int i = 0; i < 4; ++i) {
        const std::size_t end = i < 3 ? text.find(L',', start) : text.size();
        if (end == std::wstring::npos || !ParseLong(text.substr(start, end - start), values[i])) {
            return false;
        }
        start = end + 1;
    }
    if (values[2] <= values[0] || values[3] <= values[1]) {
        return false;  // an empty or inside-out window
    }
    rect = RECT{values[0], values[1], values[2], values[3]};
    return true;
}

// Seconds as written by SecondsText: digits, and at most one point followed by digits.
bool ParseSeconds(const std::wstring& text, float& seconds)
{
    if (text.empty() || text.size() > 12 || text.find_first_not_of(L"0123456789.") != std::wstring::npos ||
        text.find(L'.') != text.rfind(L'.') || text.front() == L'.' || text.back() == L'.') {
        return false;
    }
    // Parsed by hand so that no locale's decimal comma gets in the way.
    double value = 0.0, scale = 1.0;
    bool fraction = false;
    for (wchar_t c : text) {
        if (c == L'.') {
            fraction = true;
        } else if (fraction) {
            scale /= 10.0;
            value += (c - L'0') * scale;
        } else {
            value = value * 10.0 + (c - L'0');
        }
    }
    seconds = static_cast<float>(value);
    return true;
}

}  // namespace

std::wstring SecondsText(float seconds)
{
    const long long thousandths = std::llround(static_cast<double>(seconds) * 1000.0);
    std::wstring text = std::to_wstring(thousandths / 1000);
    long long rest = thousandths % 1000;
    if (rest != 0) {
        std::wstring fraction = std::to_wstring(rest);
        fraction.insert(0, 3 - fraction.size(), L'0');
        while (fraction.back() == L'0') {
            fraction.pop_back();
        }
        text += L"." + fraction;
    }
    return text;
}

std::wstring FormatRestartState(const RestartState& state)
{
    std::wstring text = std::wstring(L"cause=") + (state.cause == StallCause::Edit ? L"edit" : L"file") +
                        L" stall=" + SecondsText(state.stallSeconds);
    if (state.placesKnown) {
        text += L" main=" + RectText(state.places.mainWindow) + L" settings=" + RectText(state.places.settings);
    }
    return text;
}

bool ParseRestartState(const std::wstring& text, RestartState& state)
{
    RestartState read;
    bool haveCause = false, haveStall = false, haveMain = false, haveSettings = false;
    std::wistringstream words(text);
    std::wstring word;
    while (words >> word) {
        const std::size_t equals = word.find(L'=');
        if (equals == std::wstring::npos) {
            return false;
        }
        const std::wstring key = word.substr(0, equals);
        const std::wstring value = word.substr(equals + 1);
        bool known = false;
        if (key == L"cause" && !haveCause) {
            known = haveCause = value == L"edit" || value == L"file";
            read.cause = value == L"file" ? StallCause::File : StallCause::Edit;
        } else if (key == L"stall" && !haveStall) {
            known = haveStall = ParseSeconds(value, read.stallSeconds);
        } else if (key == L"main" && !haveMain) {
            known = haveMain = ParseRect(value, read.places.mainWindow);
        } else if (key == L"settings" && !haveSettings) {
            known = haveSettings = ParseRect(value, read.places.settings);
        }
        if (!known) {
            return false;
        }
    }
    if (!haveCause || !haveStall || haveMain != haveSettings) {
        return false;
    }
    read.placesKnown = haveMain;
    state = read;
    return true;
}

}  // namespace Morvane
