// UTF-8 <-> wide (UTF-32) conversion with Windows' rules: a zero length is refused, a length of
// -1 means "up to and including the terminating zero", invalid input becomes U+FFFD, and a too
// small output buffer fails with ERROR_INSUFFICIENT_BUFFER. The layer's own UTF-8 conversions
// use the same codec without those rules.
#include <cstring>
#include <string>

#include "Windows.h"
#include "linux/PosixInternal.h"

namespace {

const char32_t kReplacement = 0xFFFD;

bool IsValidScalar(char32_t c)
{
    return c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF);
}

void AppendUtf8(std::string& out, char32_t c)
{
    if (!IsValidScalar(c)) {
        c = kReplacement;
    }
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Decodes UTF-8; each maximal invalid subpart becomes one U+FFFD, as the Unicode standard
// recommends and Windows does.
std::u32string DecodeUtf8(const unsigned char* in, size_t length, bool& sawInvalid)
{
    sawInvalid = false;
    std::u32string out;
    size_t i = 0;
    while (i < length) {
        unsigned char lead = in[i];
        if (lead < 0x80) {
            out += lead;
            ++i;
            continue;
        }
        int needed = 0;
        char32_t c = 0;
        unsigned char low = 0x80, high = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            needed = 1;
            c = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            needed = 2;
            c = lead & 0x0F;
            if (lead == 0xE0) low = 0xA0;
            if (lead == 0xED) high = 0x9F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            needed = 3;
            c = lead & 0x07;
            if (lead == 0xF0) low = 0x90;
            if (lead == 0xF4) high = 0x8F;
        } else {
            out += kReplacement;
            sawInvalid = true;
            ++i;
            continue;
        }
        size_t j = i + 1;
        int taken = 0;
        while (taken < needed && j < length) {
            unsigned char next = in[j];
            unsigned char min = taken == 0 ? low : 0x80;
            unsigned char max = taken == 0 ? high : 0xBF;
            if (next < min || next > max) {
                break;
            }
            c = (c << 6) | (next & 0x3F);
            ++j;
            ++taken;
        }
        if (taken != needed) {
            sawInvalid = true;
        }
        out += taken == needed ? c : kReplacement;
        i = j;
    }
    return out;
}

bool CheckCommon(UINT codePage, int length)
{
    if (codePage != CP_UTF8 && codePage != CP_ACP) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    if (length == 0 || length < -1) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    return true;
}

}  // namespace

namespace Platform {

std::string WideToUtf8Text(const std::wstring& text)
{
    std::string out;
    for (wchar_t c : text) {
        AppendUtf8(out, static_cast<char32_t>(c));
    }
    return out;
}

std::string NativePath(std::wstring path)
{
    for (wchar_t& c : path) {
        if (c == L'\\') {
            c = L'/';
        }
    }
    return WideToUtf8Text(path);
}

std::wstring Utf8ToWideText(const std::string& text)
{
    bool sawInvalid = false;
    std::u32string decoded =
        DecodeUtf8(reinterpret_cast<const unsigned char*>(text.data()), text.size(), sawInvalid);
    return std::wstring(decoded.begin(), decoded.end());
}

}  // namespace Platform

int WINAPI WideCharToMultiByte(UINT codePage, DWORD flags, LPCWCH wideText, int wideLength,
                               LPSTR narrowText, int narrowSize, LPCCH defaultChar,
                               LPBOOL usedDefaultChar)
{
    if (!CheckCommon(codePage, wideLength) || !wideText || narrowSize < 0 ||
        (narrowSize > 0 && !narrowText) || defaultChar || usedDefaultChar) {
        if (GetLastError() != ERROR_INVALID_PARAMETER) SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (flags & ~static_cast<DWORD>(WC_ERR_INVALID_CHARS)) {
        SetLastError(ERROR_INVALID_FLAGS);
        return 0;
    }
    size_t count = wideLength == -1 ? std::wcslen(wideText) + 1 : static_cast<size_t>(wideLength);
    std::string out;
    for (size_t i = 0; i < count; ++i) {
        char32_t c = static_cast<char32_t>(wideText[i]);
        if (!IsValidScalar(c) && (flags & WC_ERR_INVALID_CHARS)) {
            SetLastError(ERROR_NO_UNICODE_TRANSLATION);
            return 0;
        }
        AppendUtf8(out, c);
    }
    if (narrowSize == 0) {
        return static_cast<int>(out.size());
    }
    if (out.size() > static_cast<size_t>(narrowSize)) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::memcpy(narrowText, out.data(), out.size());
    return static_cast<int>(out.size());
}

int WINAPI MultiByteToWideChar(UINT codePage, DWORD flags, LPCCH narrowText, int narrowLength,
                               LPWSTR wideText, int wideSize)
{
    if (!CheckCommon(codePage, narrowLength) || !narrowText || wideSize < 0 ||
        (wideSize > 0 && !wideText)) {
        if (GetLastError() != ERROR_INVALID_PARAMETER) SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (flags & ~static_cast<DWORD>(MB_ERR_INVALID_CHARS)) {
        SetLastError(ERROR_INVALID_FLAGS);
        return 0;
    }
    size_t count = narrowLength == -1 ? std::strlen(narrowText) + 1 : static_cast<size_t>(narrowLength);
    auto bytes = reinterpret_cast<const unsigned char*>(narrowText);
    bool sawInvalid = false;
    std::u32string decoded = DecodeUtf8(bytes, count, sawInvalid);
    if (sawInvalid && (flags & MB_ERR_INVALID_CHARS)) {
        SetLastError(ERROR_NO_UNICODE_TRANSLATION);
        return 0;
    }
    if (wideSize == 0) {
        return static_cast<int>(decoded.size());
    }
    if (decoded.size() > static_cast<size_t>(wideSize)) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    for (size_t i = 0; i < decoded.size(); ++i) {
        wideText[i] = static_cast<wchar_t>(decoded[i]);
    }
    return static_cast<int>(decoded.size());
}
