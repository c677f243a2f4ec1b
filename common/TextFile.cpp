// Reads and writes whole text files through the platform's text-mode file helpers; drops a
// leading UTF-8 byte-order mark on reading and writes it back when the file has one.
#include "TextFile.h"

#include <algorithm>
#include <istream>
#include <iterator>
#include <memory>

#include "Exception.h"
#include "platform/TextFiles.h"

namespace Common {
namespace {

// Editors on Windows often begin UTF-8 files with this mark; GLSL compilers refuse it.
const std::string kByteOrderMark = "\xEF\xBB\xBF";

const wchar_t* const kNotLoaded = L"File couldn't be loaded.";

bool StartsWithMark(const std::string& text)
{
    return text.compare(0, kByteOrderMark.size(), kByteOrderMark) == 0;
}

// Whether the file as it is on disk now begins with the mark. A file that is missing or cannot
// be read has no mark to keep.
bool FileStartsWithMark(const std::wstring& path)
{
    std::unique_ptr<std::istream> file = Platform::OpenTextFileForReading(path);
    if (!file || file->fail()) {
        return false;
    }
    char head[3] = {};
    file->read(head, sizeof head);
    return file->gcount() == sizeof head && StartsWithMark(std::string(head, sizeof head));
}

// An edit box ends its text at the first zero byte, so a file holding one could not be shown
// whole, and a save of what was shown would cut the file short: such a file is not loaded.
void RefuseZeroByte(const std::wstring& path, const std::string& text)
{
    const size_t zero = text.find('\0');
    if (zero == std::string::npos) {
        return;
    }
    const auto line = 1 + std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(zero), '\n');
    ErrorDetail detail;
    detail.code = ERROR_INVALID_DATA;
    detail.text = L"The file " + path + L" holds a NUL byte on line " + std::to_wstring(line) +
                  L", which the editor cannot hold; remove it in another editor and load the file again.";
    throw Exception(kNotLoaded, detail);
}

}  // namespace

std::string ReadTextFile(const std::wstring& path)
{
    std::unique_ptr<std::istream> file = Platform::OpenTextFileForReading(path);
    if (!file || file->fail()) {
        throw Exception(kNotLoaded);
    }
    std::string text;
    text.assign(std::istreambuf_iterator<char>(*file), std::istreambuf_iterator<char>());
    if (StartsWithMark(text)) {
        text.erase(0, kByteOrderMark.size());
    }
    RefuseZeroByte(path, text);
    if (!text.empty() && text.back() != '\n') {
        text += '\n';
    }
    return text;
}

void WriteTextFile(const std::wstring& path, const std::string& text, Platform::Durability durability)
{
    // Reading drops one leading mark, so a text that itself begins with the mark's character (from
    // a file that had two, or typed) is written after one more: read again, it is the same text.
    const bool writeMark = StartsWithMark(text) || FileStartsWithMark(path);
    bool partial = false;
    if (!Platform::ReplaceTextFile(path, writeMark ? kByteOrderMark + text : text, durability, &partial)) {
        ErrorDetail detail = CaptureSystemError();
        if (partial) {
            // The old text is gone and the new one is not whole: the user must not take the file
            // for either.
            while (!detail.text.empty() && (detail.text.back() == L'\n' || detail.text.back() == L'\r')) {
                detail.text.pop_back();
            }
            detail.text += L"\nThe file " + path +
                           L" may now hold only part of the text, since its old text could not be put back"
                           L" either; the full text is still in the editor.";
        }
        throw Exception(L"File couldn't be saved.", detail);
    }
}

}  // namespace Common
