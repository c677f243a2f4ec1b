// Fuzz target: the conversion between UTF-8 and the system's wide text, which every file, log and
// command line passes through. Bytes are compared with the C library's own decoder (iconv):
// valid UTF-8 must decode to the same characters and encode back to the same bytes; invalid
// UTF-8 must give replacement characters, never a character outside Unicode. The bytes read as
// wide characters must encode to valid UTF-8 whatever they hold.
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include <iconv.h>

#include "FuzzCheck.h"
#include "common/Exception.h"
#include "common/TextConversion.h"

namespace {

// The C library's decoding of `bytes`; false when they are not valid UTF-8.
bool LibraryDecode(const std::string& bytes, std::u32string& decoded)
{
    static iconv_t converter = iconv_open("UTF-32LE", "UTF-8");
    Fuzz::Check(converter != reinterpret_cast<iconv_t>(-1), "iconv knows UTF-8");
    iconv(converter, nullptr, nullptr, nullptr, nullptr);
    std::vector<char> out(bytes.size() * 4 + 4);
    char* in = const_cast<char*>(bytes.data());
    size_t inLeft = bytes.size();
    char* outAt = out.data();
    size_t outLeft = out.size();
    if (iconv(converter, &in, &inLeft, &outAt, &outLeft) == static_cast<size_t>(-1) || inLeft != 0) {
        return false;
    }
    const size_t count = (out.size() - outLeft) / 4;
    decoded.resize(count);
    std::memcpy(&decoded[0], out.data(), count * 4);
    return true;
}

bool IsScalar(wchar_t c)
{
    const uint32_t value = static_cast<uint32_t>(c);
    return value <= 0x10FFFF && (value < 0xD800 || value > 0xDFFF);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    if (bytes.empty()) {
        bool refused = false;
        try {
            Common::Utf8ToWide(bytes);
        } catch (const Common::Exception&) {
            refused = true;
        }
        Fuzz::Check(refused, "an empty text is refused");
        return 0;
    }

    const std::wstring wide = Common::Utf8ToWide(bytes);
    Fuzz::Check(!wide.empty() && wide.size() <= bytes.size(), "one character for one to four bytes");
    for (wchar_t c : wide) {
        Fuzz::Check(IsScalar(c), "every character decoded is a Unicode scalar value");
    }
    std::u32string expected;
    if (LibraryDecode(bytes, expected)) {
        Fuzz::Check(std::u32string(wide.begin(), wide.end()) == expected, "valid UTF-8 decodes as the C library does");
        Fuzz::Check(Common::WideToUtf8(wide) == bytes, "valid UTF-8 encodes back to the same bytes");
    } else {
        Fuzz::Check(wide.find(L'\xFFFD') != std::wstring::npos, "invalid UTF-8 gives a replacement character");
    }

    // The bytes taken as wide characters, whatever values they have.
    std::wstring raw(size / sizeof(wchar_t), L'\0');
    std::memcpy(&raw[0], data, raw.size() * sizeof(wchar_t));
    if (!raw.empty()) {
        const std::string encoded = Common::WideToUtf8(raw);
        std::u32string decoded;
        Fuzz::Check(LibraryDecode(encoded, decoded), "any wide text encodes to valid UTF-8");
        Fuzz::Check(decoded.size() == raw.size(), "one character encoded for each wide character");
        for (size_t i = 0; i < raw.size(); ++i) {
            const char32_t want = IsScalar(raw[i]) ? static_cast<char32_t>(raw[i]) : U'\xFFFD';
            Fuzz::Check(decoded[i] == want, "each character encodes as itself or as a replacement character");
        }
    }
    return 0;
}
