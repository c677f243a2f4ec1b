// Reading line numbers out of compilers' logs: each line of the log is tried against the Mesa,
// NVIDIA and AMD/Intel/Apple forms in turn, and one that fits none is left alone.
#include "viewer/CompileLogLines.h"

namespace Morvane {
namespace {

using Platform::SourceMark;
using Platform::SourceMarkSeverity;

const int kMaxLine = 1000000000;

// A log line being read from left to right.
class Reader {
public:
    explicit Reader(const std::wstring& text) : m_text(text) {}

    // Takes `word` when the text goes on with it.
    bool Take(const wchar_t* word)
    {
        const std::wstring expected(word);
        if (m_text.compare(m_at, expected.size(), expected) != 0) {
            return false;
        }
        m_at += expected.size();
        return true;
    }

    // Takes a run of spaces, perhaps none.
    void Spaces()
    {
        while (m_at < m_text.size() && m_text[m_at] == L' ') {
            ++m_at;
        }
    }

    // Takes a decimal number from 0 to kMaxLine; false (and nothing taken) when there is none
    // or it is larger.
    bool Number(int& value)
    {
        size_t at = m_at;
        long long number = 0;
        while (at < m_text.size() && m_text[at] >= L'0' && m_text[at] <= L'9') {
            number = number * 10 + (m_text[at] - L'0');
            if (number > kMaxLine) {
                return false;
            }
            ++at;
        }
        if (at == m_at) {
            return false;
        }
        m_at = at;
        value = static_cast<int>(number);
        return true;
    }

    // What is left of the line, without the spaces around it.
    std::wstring Rest() const
    {
        const size_t first = m_text.find_first_not_of(L" \t", m_at);
        if (first == std::wstring::npos) {
            return std::wstring();
        }
        return m_text.substr(first, m_text.find_last_not_of(L" \t") + 1 - first);
    }

private:
    const std::wstring& m_text;
    size_t m_at = 0;
};

struct Named {
    int source = 0;
    int line = 0;
    SourceMarkSeverity severity = SourceMarkSeverity::Error;
    std::wstring text;
};

// Mesa: "0:12(5): error: ...", "0:12(5): warning: ...", "0:12(5): preprocessor error: ...".
bool ReadMesa(const std::wstring& logLine, Named& named)
{
    Reader reader(logLine);
    int column = 0;
    if (!(reader.Number(named.source) && reader.Take(L":") && reader.Number(named.line) && reader.Take(L"(") &&
          reader.Number(column) && reader.Take(L"):"))) {
        return false;
    }
    named.text = reader.Rest();
    Reader kind(named.text);
    kind.Take(L"preprocessor ");
    if (kind.Take(L"error:")) {
        named.severity = SourceMarkSeverity::Error;
    } else if (kind.Take(L"warning:")) {
        named.severity = SourceMarkSeverity::Warning;
    } else {
        return false;
    }
    return true;
}

// NVIDIA: "0(12) : error C0000: ...", "0(12) : warning C7050: ...", "0(12) : fatal error C9999: ...".
bool ReadNvidia(const std::wstring& logLine, Named& named)
{
    Reader reader(logLine);
    if (!(reader.Number(named.source) && reader.Take(L"(") && reader.Number(named.line) && reader.Take(L")"))) {
        return false;
    }
    reader.Spaces();
    if (!reader.Take(L":")) {
        return false;
    }
    named.text = reader.Rest();
    Reader kind(named.text);
    kind.Take(L"fatal ");
    if (kind.Take(L"error")) {
        named.severity = SourceMarkSeverity::Error;
    } else if (kind.Take(L"warning")) {
        named.severity = SourceMarkSeverity::Warning;
    } else {
        return false;
    }
    return kind.Take(L" ") || kind.Take(L":");
}

// AMD and Intel on Windows, Apple: "ERROR: 0:12: ...", "WARNING: 0:12: ...".
bool ReadUpperCase(const std::wstring& logLine, Named& named)
{
    Reader reader(logLine);
    std::wstring word;
    if (reader.Take(L"ERROR:")) {
        named.severity = SourceMarkSeverity::Error;
        word = L"ERROR: ";
    } else if (reader.Take(L"WARNING:")) {
        named.severity = SourceMarkSeverity::Warning;
        word = L"WARNING: ";
    } else {
        return false;
    }
    reader.Spaces();
    if (!(reader.Number(named.source) && reader.Take(L":") && reader.Number(named.line) && reader.Take(L":"))) {
        return false;
    }
    named.text = word + reader.Rest();
    return true;
}

}  // namespace

std::vector<SourceMark> CompileLogLines(const std::wstring& log)
{
    std::vector<SourceMark> marks;
    size_t start = 0;
    while (start < log.size()) {
        size_t end = log.find(L'\n', start);
        if (end == std::wstring::npos) {
            end = log.size();
        }
        std::wstring logLine = log.substr(start, end - start);
        start = end + 1;
        if (!logLine.empty() && logLine.back() == L'\r') {
            logLine.pop_back();
        }
        Named named;
        const bool read = ReadMesa(logLine, named) || ReadNvidia(logLine, named) || ReadUpperCase(logLine, named);
        if (read && named.source == 0 && named.line > 0) {
            marks.push_back(SourceMark{named.line, named.severity, named.text});
        }
    }
    return marks;
}

}  // namespace Morvane
