// The embedded resource files and the search through them. A compiled resource file is a run of
// entries, each a header (data size, header size, type, name, language, ...) followed by the
// data, every part aligned to four bytes; types and names are either 0xFFFF and a 16-bit ordinal
// or a zero-terminated UTF-16 string.
#include <string>

#include "Windows.h"
#include "linux/PosixInternal.h"
#include "linux/UserInternal.h"
#include "linux/ResourcesInternal.h"

namespace Platform {
namespace {

struct Image {
    const unsigned char* bytes;
    size_t size;
};

std::vector<Image>& Images()
{
    static std::vector<Image> images;
    return images;
}

// A resource type or name: an ordinal, or a string kept upper-cased as Windows compares them.
struct ResourceId {
    bool isOrdinal = true;
    WORD ordinal = 0;
    std::u16string name;
};

class Reader {
public:
    Reader(const unsigned char* bytes, size_t size) : m_bytes(bytes), m_size(size) {}

    bool AtEnd() const { return m_offset >= m_size; }
    size_t Offset() const { return m_offset; }
    bool Seek(size_t offset)
    {
        if (offset > m_size) {
            return false;
        }
        m_offset = offset;
        return true;
    }
    bool Word(WORD& value)
    {
        if (m_size - m_offset < 2) {
            return false;
        }
        value = static_cast<WORD>(m_bytes[m_offset] | (m_bytes[m_offset + 1] << 8));
        m_offset += 2;
        return true;
    }
    bool Dword(DWORD& value)
    {
        WORD low = 0;
        WORD high = 0;
        if (!Word(low) || !Word(high)) {
            return false;
        }
        value = static_cast<DWORD>(low) | (static_cast<DWORD>(high) << 16);
        return true;
    }
    bool Id(ResourceId& id)
    {
        WORD first = 0;
        if (!Word(first)) {
            return false;
        }
        if (first == 0xFFFF) {
            id.isOrdinal = true;
            return Word(id.ordinal);
        }
        id.isOrdinal = false;
        id.name.clear();
        for (WORD c = first; c != 0;) {
            id.name.push_back(static_cast<char16_t>(UpperNameChar(static_cast<wchar_t>(c))));
            if (!Word(c)) {
                return false;
            }
        }
        return true;
    }

private:
    const unsigned char* m_bytes;
    size_t m_size;
    size_t m_offset = 0;
};

size_t AlignFour(size_t offset)
{
    return (offset + 3) & ~static_cast<size_t>(3);
}

bool Matches(const ResourceId& id, LPCWSTR wanted)
{
    if (IsIntResource(wanted)) {
        return id.isOrdinal && id.ordinal == static_cast<WORD>(reinterpret_cast<ULONG_PTR>(wanted));
    }
    if (id.isOrdinal) {
        return false;
    }
    std::u16string upper;
    for (const wchar_t* c = wanted; *c; ++c) {
        upper.push_back(static_cast<char16_t>(UpperNameChar(*c)));
    }
    return upper == id.name;
}

enum class Search { Found, TypeMissing, NameMissing, Malformed };

Search SearchImage(const Image& image, WORD type, LPCWSTR name, std::vector<BYTE>& data,
                   bool& typeSeen)
{
    Reader reader(image.bytes, image.size);
    while (!reader.AtEnd()) {
        size_t start = reader.Offset();
        DWORD dataSize = 0;
        DWORD headerSize = 0;
        ResourceId entryType;
        ResourceId entryName;
        if (!reader.Dword(dataSize) || !reader.Dword(headerSize) || !reader.Id(entryType) ||
            !reader.Id(entryName) || headerSize < 32 || start + headerSize > image.size ||
            dataSize > image.size - start - headerSize) {
            return Search::Malformed;
        }
        size_t dataStart = start + headerSize;
        if (entryType.isOrdinal && entryType.ordinal == type) {
            typeSeen = true;
            if (Matches(entryName, name)) {
                data.assign(image.bytes + dataStart, image.bytes + dataStart + dataSize);
                return Search::Found;
            }
        }
        if (!reader.Seek(AlignFour(dataStart + dataSize))) {
            return Search::Malformed;
        }
    }
    return typeSeen ? Search::NameMissing : Search::TypeMissing;
}

std::wstring Describe(LPCWSTR name)
{
    if (IsIntResource(name)) {
        return std::to_wstring(reinterpret_cast<ULONG_PTR>(name));
    }
    return L"\"" + std::wstring(name) + L"\"";
}

}  // namespace

bool RegisterResourceImage(const unsigned char* bytes, size_t size)
{
    Images().push_back(Image{bytes, size});
    return true;
}

bool FindResourceData(WORD type, LPCWSTR name, std::vector<BYTE>& data)
{
    if (!name) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    bool typeSeen = false;
    for (const Image& image : Images()) {
        switch (SearchImage(image, type, name, data, typeSeen)) {
        case Search::Found:
            return true;
        case Search::Malformed:
            SetLastErrorWithNote(ERROR_RESOURCE_DATA_NOT_FOUND,
                                 L"An embedded resource file is damaged.");
            return false;
        default:
            break;
        }
    }
    if (!typeSeen) {
        SetLastErrorWithNote(ERROR_RESOURCE_TYPE_NOT_FOUND,
                             L"(resource type " + std::to_wstring(type) + L")");
        return false;
    }
    SetLastErrorWithNote(ERROR_RESOURCE_NAME_NOT_FOUND,
                         L"(resource " + Describe(name) + L" of type " + std::to_wstring(type) + L")");
    return false;
}

}  // namespace Platform
