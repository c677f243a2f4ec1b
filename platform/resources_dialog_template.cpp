// Reading an extended dialog template (DLGTEMPLATEEX followed by its DLGITEMTEMPLATEEX items):
// little-endian words and double words, strings as zero-terminated UTF-16, "string or ordinal"
// fields that start with 0xFFFF for an ordinal or 0 for nothing, and every item aligned to four
// bytes from the start of the template.
#include "Windows.h"
#include "linux/ResourcesInternal.h"
#include "linux/PosixInternal.h"

namespace Platform {
namespace {

class TemplateReader {
public:
    explicit TemplateReader(const std::vector<BYTE>& data) : m_data(data) {}

    bool Ok() const { return m_ok; }

    WORD Word()
    {
        if (m_data.size() - m_offset < 2 || m_offset > m_data.size()) {
            m_ok = false;
            m_offset = m_data.size();
            return 0;
        }
        WORD value = static_cast<WORD>(m_data[m_offset] | (m_data[m_offset + 1] << 8));
        m_offset += 2;
        return value;
    }
    short Short() { return static_cast<short>(Word()); }
    DWORD Dword()
    {
        DWORD low = Word();
        DWORD high = Word();
        return low | (high << 16);
    }
    BYTE Byte()
    {
        if (m_offset >= m_data.size()) {
            m_ok = false;
            return 0;
        }
        return m_data[m_offset++];
    }
    // UTF-16 code units up to the terminating zero; surrogate pairs are joined.
    std::wstring String()
    {
        std::wstring text;
        while (m_ok) {
            WORD unit = Word();
            if (unit == 0) {
                break;
            }
            AppendUnit(text, unit);
        }
        return text;
    }
    // A "string or ordinal" field: fills one of the two and leaves the other empty.
    void StringOrOrdinal(WORD& ordinal, std::wstring& text)
    {
        WORD first = Word();
        if (first == 0) {
            return;
        }
        if (first == 0xFFFF) {
            ordinal = Word();
            return;
        }
        AppendUnit(text, first);
        text += String();
    }
    void Bytes(size_t count, std::vector<BYTE>& out)
    {
        if (m_data.size() - m_offset < count) {
            m_ok = false;
            return;
        }
        out.assign(m_data.begin() + static_cast<std::ptrdiff_t>(m_offset),
                   m_data.begin() + static_cast<std::ptrdiff_t>(m_offset + count));
        m_offset += count;
    }
    void AlignFour() { m_offset = (m_offset + 3) & ~static_cast<size_t>(3); }

private:
    void AppendUnit(std::wstring& text, WORD unit)
    {
        if (m_highSurrogate != 0 && unit >= 0xDC00 && unit <= 0xDFFF) {
            text.back() = static_cast<wchar_t>(0x10000 + ((m_highSurrogate - 0xD800) << 10) +
                                               (unit - 0xDC00));
            m_highSurrogate = 0;
            return;
        }
        m_highSurrogate = (unit >= 0xD800 && unit <= 0xDBFF) ? unit : 0;
        text.push_back(static_cast<wchar_t>(unit));
    }

    const std::vector<BYTE>& m_data;
    size_t m_offset = 0;
    bool m_ok = true;
    WORD m_highSurrogate = 0;
};

}  // namespace

bool ParseDialogTemplate(const std::vector<BYTE>& data, DialogTemplate& result)
{
    TemplateReader reader(data);
    WORD version = reader.Word();
    WORD signature = reader.Word();
    if (!reader.Ok() || version != 1 || signature != 0xFFFF) {
        SetLastErrorWithNote(ERROR_INVALID_DATA,
                             L"The dialog template is not in the extended (DIALOGEX) format.");
        return false;
    }
    DialogTemplate dialog;
    dialog.helpId = reader.Dword();
    dialog.exStyle = reader.Dword();
    dialog.style = reader.Dword();
    WORD itemCount = reader.Word();
    dialog.x = reader.Short();
    dialog.y = reader.Short();
    dialog.cx = reader.Short();
    dialog.cy = reader.Short();
    reader.StringOrOrdinal(dialog.menuOrdinal, dialog.menuName);
    reader.StringOrOrdinal(dialog.classOrdinal, dialog.className);
    dialog.title = reader.String();
    if (dialog.style & DS_SETFONT) {
        dialog.hasFont = true;
        dialog.pointSize = reader.Word();
        dialog.weight = reader.Word();
        dialog.italic = reader.Byte() != 0;
        dialog.charset = reader.Byte();
        dialog.typeface = reader.String();
    }
    for (WORD i = 0; i < itemCount && reader.Ok(); ++i) {
        reader.AlignFour();
        DialogItemTemplate item;
        item.helpId = reader.Dword();
        item.exStyle = reader.Dword();
        item.style = reader.Dword();
        item.x = reader.Short();
        item.y = reader.Short();
        item.cx = reader.Short();
        item.cy = reader.Short();
        item.id = reader.Dword();
        reader.StringOrOrdinal(item.classOrdinal, item.className);
        reader.StringOrOrdinal(item.textOrdinal, item.text);
        WORD extra = reader.Word();
        reader.Bytes(extra, item.creationData);
        dialog.items.push_back(std::move(item));
    }
    if (!reader.Ok()) {
        SetLastErrorWithNote(ERROR_INVALID_DATA, L"The dialog template is cut short.");
        return false;
    }
    result = std::move(dialog);
    return true;
}

}  // namespace Platform
