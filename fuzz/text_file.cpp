// Fuzz target: a shader file's bytes as the viewer loads and saves them. The file is read as the
// viewer reads a scene's text (CR LF folded to LF, a UTF-8 byte-order mark dropped, a NUL byte
// refused, a last line end added), saved back as a save does (the mark kept, LF written as
// CR LF), and read again; the text must come back unchanged, and through the edit box too when
// it is valid UTF-8 with no lone carriage return.
#include <cstdint>
#include <string>

#include "FuzzCheck.h"
#include "common/Exception.h"
#include "common/TextConversion.h"
#include "common/TextFile.h"
#include "platform/TextModeBytes.h"
#include "viewer/EditText.h"
#include "viewer/LogNotice.h"

namespace {

const std::string kMark = "\xEF\xBB\xBF";

// The text a file's bytes hold, written out plainly from the rules above.
std::string ExpectedText(const std::string& bytes)
{
    std::string text;
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (!(bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')) {
            text += bytes[i];
        }
    }
    if (text.compare(0, kMark.size(), kMark) == 0) {
        text.erase(0, kMark.size());
    }
    if (!text.empty() && text.back() != '\n') {
        text += '\n';
    }
    return text;
}

bool IsValidUtf8(const std::string& text)
{
    return text.empty() || Common::WideToUtf8(Common::Utf8ToWide(text)) == text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::string native = Fuzz::ScratchFolder() + "pixelShader.glsl";
    const std::wstring path = Common::Utf8ToWide(native);
    Fuzz::WriteBytes(native, bytes);

    // The mode bytes alone: any text written and read back is the same text.
    Fuzz::Check(Platform::WithoutCrBeforeLf(Platform::WithCrLf(bytes)) == bytes, "text-mode bytes round trip");

    std::string text;
    try {
        text = Common::ReadTextFile(path);
    } catch (const Common::Exception&) {
        Fuzz::Check(ExpectedText(bytes).find('\0') != std::string::npos, "only a file with a NUL byte is refused");
        return 0;
    }
    Fuzz::Check(text.find('\0') == std::string::npos, "a file with a NUL byte is refused");
    Fuzz::Check(text == ExpectedText(bytes), "the text read is the file's text");

    // Saved unchanged and read again, the text is the same and the file keeps its mark.
    const bool hadMark = bytes.compare(0, kMark.size(), kMark) == 0;
    Common::WriteTextFile(path, text, Platform::Durability::SurvivesProgramCrash);
    const std::string saved = Fuzz::ReadBytes(native);
    Fuzz::Check(!hadMark || saved.compare(0, kMark.size(), kMark) == 0, "a save keeps the byte-order mark");
    Fuzz::Check(Common::ReadTextFile(path) == text, "a save of the text read gives back the same text");

    // The notice about invalid UTF-8 stands exactly when the text is not valid UTF-8.
    const bool valid = IsValidUtf8(text);
    Fuzz::Check(Morvane::InvalidUtf8Notice(path, text).empty() == valid, "the invalid UTF-8 notice");

    // Through the edit box and back, a valid text without carriage returns is unchanged.
    if (valid && text.find('\r') == std::string::npos) {
        Fuzz::Check(Morvane::FromEditText(Morvane::ToEditText(text)) == text, "the edit box round trip");
    }
    return 0;
}
