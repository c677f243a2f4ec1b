// Line-end and encoding conversion between edit boxes and shader texts.
#include "EditText.h"

#include "common/TextConversion.h"

namespace Morvane {

void ToCrLf(std::wstring& text)
{
    size_t i = text.find(L'\n');
    while (i != std::wstring::npos) {
        if (i == 0 || text[i - 1] != L'\r') {
            text.insert(i, 1, L'\r');
            ++i;
        }
        i = text.find(L'\n', i + 1);
    }
}

void RemoveCarriageReturns(std::wstring& text)
{
    size_t write = 0;
    for (wchar_t c : text) {
        if (c != L'\r') {
            text[write++] = c;
        }
    }
    text.resize(write);
}

std::wstring ToEditText(const std::string& text)
{
    if (text.empty()) {
        return std::wstring();
    }
    std::wstring wide = Common::Utf8ToWide(text);
    ToCrLf(wide);
    return wide;
}

std::string FromEditText(std::wstring text)
{
    RemoveCarriageReturns(text);
    if (text.empty()) {
        return std::string();
    }
    return Common::WideToUtf8(text);
}

}  // namespace Morvane
