// Formatting of failures for the log box and for the end of the program.
#include "FailureText.h"

namespace Morvane {
namespace {

std::wstring WithoutTrailingLineEnd(std::wstring text)
{
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ')) {
        text.pop_back();
    }
    return text;
}

}  // namespace

std::wstring FailureLogText(const Common::Exception& e)
{
    return e.Message() + L"\n" + WithoutTrailingLineEnd(e.Detail().text);
}

std::wstring FatalFailureText(const Common::Exception& e)
{
    std::wstring text = e.Message().empty() ? L"An operation failed." : WithoutTrailingLineEnd(e.Message());
    // Code 0 means the system reported nothing (a shader that does not build, a missing GL
    // feature): its "completed successfully" would only confuse.
    if (e.Detail().code == 0) {
        return text;
    }
    text += L"\nError " + std::to_wstring(e.Detail().code);
    const std::wstring reason = WithoutTrailingLineEnd(e.Detail().text);
    if (!reason.empty()) {
        text += L": " + reason;
    }
    return text;
}

}  // namespace Morvane
