// Telling a text in Shadertoy's form from one of the viewer's own: its code is read as a stream of
// names and punctuation, with comments, strings and preprocessor lines left out, and the function
// definitions at the outermost level are picked from it.
#include "viewer/ShadertoyText.h"

#include <vector>

namespace Morvane {
namespace {

bool IsNameStart(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}

bool IsNamePart(char c)
{
    return IsNameStart(c) || (c >= '0' && c <= '9');
}

// The code's tokens: a name, a number, or one character of punctuation.
std::vector<std::string> CodeTokens(const std::string& text)
{
    std::vector<std::string> tokens;
    const size_t size = text.size();
    bool lineStart = true;  // only blanks since the last line end: a '#' here begins a directive
    size_t at = 0;
    while (at < size) {
        const char c = text[at];
        if (c == '\n') {
            lineStart = true;
            ++at;
        } else if (c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v') {
            ++at;
        } else if (c == '/' && at + 1 < size && text[at + 1] == '/') {
            at = text.find('\n', at);
            at = at == std::string::npos ? size : at;
        } else if (c == '/' && at + 1 < size && text[at + 1] == '*') {
            const size_t end = text.find("*/", at + 2);
            at = end == std::string::npos ? size : end + 2;
        } else if (c == '"') {
            ++at;
            while (at < size && text[at] != '"' && text[at] != '\n') {
                at += text[at] == '\\' ? 2 : 1;
            }
            ++at;
            lineStart = false;
        } else if (c == '#' && lineStart) {
            // A directive runs to the end of its line, and on past line ends escaped with '\'.
            while (at < size && text[at] != '\n') {
                at += text[at] == '\\' ? 2 : 1;
            }
        } else if (IsNamePart(c)) {
            const size_t start = at;
            while (at < size && IsNamePart(text[at])) {
                ++at;
            }
            tokens.push_back(text.substr(start, at - start));
            lineStart = false;
        } else {
            tokens.push_back(std::string(1, c));
            ++at;
            lineStart = false;
        }
    }
    return tokens;
}

}  // namespace

bool IsShadertoyText(const std::string& text)
{
    const std::vector<std::string> tokens = CodeTokens(text);
    bool definesMain = false;
    bool definesMainImage = false;
    int depth = 0;  // braces open
    for (size_t i = 0; i < tokens.size(); ++i) {
        const std::string& token = tokens[i];
        if (token == "{") {
            ++depth;
        } else if (token == "}") {
            depth = depth > 0 ? depth - 1 : 0;
        } else if (depth == 0 && (token == "main" || token == "mainImage") && i + 1 < tokens.size() &&
                   tokens[i + 1] == "(") {
            // Past the parameters, a body makes it a definition.
            size_t after = i + 2;
            for (int open = 1; after < tokens.size() && open > 0; ++after) {
                open += tokens[after] == "(" ? 1 : tokens[after] == ")" ? -1 : 0;
            }
            if (after < tokens.size() && tokens[after] == "{") {
                (token == "main" ? definesMain : definesMainImage) = true;
            }
        }
    }
    return definesMainImage && !definesMain;
}

}  // namespace Morvane
