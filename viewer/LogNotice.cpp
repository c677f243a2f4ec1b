// Notices for the log box, and putting a compile result below one.
#include "LogNotice.h"

#include <algorithm>

#include "viewer/EditText.h"

namespace Morvane {
namespace {

const wchar_t kReplacement = L'\uFFFD';
const char kEncodedReplacement[] = "\xEF\xBF\xBD";

// How many replacement characters the conversion for the editor put in for invalid input: those
// in the converted text less those that the file itself held, validly encoded.
std::size_t InvalidSequences(const std::string& text)
{
    const std::wstring wide = ToEditText(text);
    std::size_t count = static_cast<std::size_t>(std::count(wide.begin(), wide.end(), kReplacement));
    for (std::size_t at = text.find(kEncodedReplacement); at != std::string::npos;
         at = text.find(kEncodedReplacement, at + 3)) {
        --count;
    }
    return count;
}

std::wstring FileName(const std::wstring& path)
{
    const std::size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::wstring InvalidUtf8Notice(const std::wstring& path, const std::string& text)
{
    const std::size_t count = InvalidSequences(text);
    if (count == 0) {
        return std::wstring();
    }
    const std::wstring sequences = count == 1 ? L" invalid byte sequence was" : L" invalid byte sequences were";
    return L"Note: " + FileName(path) + L" is not valid UTF-8; " + std::to_wstring(count) + sequences +
           L" replaced with \uFFFD, and Save would write the replacements.";
}

std::wstring BelowNotice(const std::wstring& notice, const std::wstring& text)
{
    return notice.empty() ? text : notice + L"\n" + text;
}

}  // namespace Morvane
