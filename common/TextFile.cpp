// Reads and writes whole text files through the platform's text-mode file helpers.
#include "TextFile.h"

#include <istream>

#include "Exception.h"
#include "platform/TextFiles.h"

namespace Common {

std::string ReadTextFile(const std::wstring& path)
{
    std::unique_ptr<std::istream> file = Platform::OpenTextFileForReading(path);
    if (!file || file->fail()) {
        throw Exception(L"File couldn't be loaded.");
    }
    std::string result;
    std::string line;
    while (std::getline(*file, line, '\n')) {
        result += line;
        result += '\n';
    }
    return result;
}

void WriteTextFile(const std::wstring& path, const std::string& text)
{
    if (!Platform::ReplaceTextFile(path, text)) {
        throw Exception(L"File couldn't be saved.");
    }
}

}  // namespace Common
