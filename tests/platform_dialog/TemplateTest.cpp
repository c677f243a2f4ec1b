// The settings dialog's template as the build compiles and embeds it, read back field by field,
// and the resource look-up and template reader on damaged or missing resources.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "platform/Windows.h"
#include "platform/linux/ResourcesInternal.h"
#include "platform/linux/GtkInternal.h"
#include "platform/linux/PosixInternal.h"
#include "viewer/SettingsDlgIds.h"

using namespace Platform;

namespace {

DialogTemplate LoadSettingsTemplate()
{
    std::vector<BYTE> data;
    EXPECT_TRUE(FindResourceData(ResourceTypeDialog, MAKEINTRESOURCEW(IDD_SETTINGS), data));
    DialogTemplate dialog;
    EXPECT_TRUE(ParseDialogTemplate(data, dialog));
    return dialog;
}

bool IsClass(const DialogItemTemplate& item, WORD ordinal, const std::wstring& name)
{
    if (item.classOrdinal != 0) {
        return item.classOrdinal == ordinal;
    }
    std::wstring lower;
    for (wchar_t c : item.className) {
        lower.push_back(static_cast<wchar_t>(towlower(c)));
    }
    return lower == name;
}

// A compiled resource file with one entry of type 5 named by a string, after the empty entry that
// starts every such file.
std::vector<unsigned char> NamedDialogResource(const std::u16string& name, const std::vector<BYTE>& body)
{
    std::vector<unsigned char> bytes(32, 0);
    bytes[4] = 32;
    bytes[8] = bytes[9] = 0xFF;
    bytes[12] = bytes[13] = 0xFF;
    std::vector<unsigned char> header;
    auto word = [&header](unsigned value) {
        header.push_back(static_cast<unsigned char>(value & 0xFF));
        header.push_back(static_cast<unsigned char>(value >> 8));
    };
    word(0xFFFF);
    word(5);
    for (char16_t c : name) {
        word(c);
    }
    word(0);
    while ((header.size() + 8) % 4 != 0) {
        header.push_back(0);
    }
    header.resize(header.size() + 16, 0);
    uint32_t dataSize = static_cast<uint32_t>(body.size());
    uint32_t headerSize = static_cast<uint32_t>(header.size() + 8);
    for (int i = 0; i < 4; ++i) {
        bytes.push_back(static_cast<unsigned char>(dataSize >> (8 * i)));
    }
    for (int i = 0; i < 4; ++i) {
        bytes.push_back(static_cast<unsigned char>(headerSize >> (8 * i)));
    }
    bytes.insert(bytes.end(), header.begin(), header.end());
    bytes.insert(bytes.end(), body.begin(), body.end());
    while (bytes.size() % 4 != 0) {
        bytes.push_back(0);
    }
    return bytes;
}

}  // namespace

TEST(SettingsTemplate, DialogIsThe368By350SettingsPopupInMsShellDlg8)
{
    DialogTemplate dialog = LoadSettingsTemplate();
    EXPECT_EQ(dialog.style, static_cast<DWORD>(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME |
                                               DS_SETFONT | DS_FIXEDSYS));
    EXPECT_EQ(dialog.exStyle, 0u);
    EXPECT_EQ(dialog.helpId, 0u);
    EXPECT_EQ(dialog.x, 0);
    EXPECT_EQ(dialog.y, 0);
    EXPECT_EQ(dialog.cx, 368);
    EXPECT_EQ(dialog.cy, 350);
    EXPECT_EQ(dialog.menuOrdinal, 0);
    EXPECT_TRUE(dialog.menuName.empty());
    EXPECT_EQ(dialog.classOrdinal, 0);
    EXPECT_TRUE(dialog.className.empty());
    EXPECT_EQ(dialog.title, L"Settings");
    ASSERT_TRUE(dialog.hasFont);
    EXPECT_EQ(dialog.pointSize, 8);
    EXPECT_EQ(dialog.weight, 400);
    EXPECT_FALSE(dialog.italic);
    EXPECT_EQ(dialog.charset, DEFAULT_CHARSET);
    EXPECT_EQ(dialog.typeface, L"MS Shell Dlg");
}

TEST(SettingsTemplate, SourceLogReloadSaveAndResetCameraInTabOrderWithTheirStylesAndPlaces)
{
    struct Expected {
        DWORD id;
        bool edit;
        const wchar_t* text;
        DWORD style;
        short x, y, cx, cy;
    };
    const DWORD editStyle = WS_BORDER | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP | ES_MULTILINE | ES_AUTOHSCROLL;
    const DWORD buttonStyle = WS_TABSTOP | BS_PUSHBUTTON;
    const Expected expected[] = {
        {IDC_SOURCE_EDIT, true, L"", editStyle, 7, 7, 354, 245},
        {IDC_LOG_EDIT, true, L"", editStyle | ES_READONLY, 7, 279, 354, 64},
        {IDC_RELOAD, false, L"Reload", buttonStyle, 327, 256, 33, 17},
        {IDC_SAVE, false, L"Save", buttonStyle, 292, 256, 32, 18},
        {IDC_RESET_CAMERA, false, L"Reset Camera", buttonStyle, 7, 255, 51, 18},
    };
    DialogTemplate dialog = LoadSettingsTemplate();
    ASSERT_EQ(dialog.items.size(), 5u);
    for (size_t i = 0; i < dialog.items.size(); ++i) {
        const DialogItemTemplate& item = dialog.items[i];
        const Expected& want = expected[i];
        SCOPED_TRACE(want.id);
        EXPECT_EQ(item.id, want.id);
        EXPECT_TRUE(want.edit ? IsClass(item, ControlClassEdit, L"edit")
                              : IsClass(item, ControlClassButton, L"button"));
        EXPECT_EQ(item.text, want.text);
        EXPECT_EQ(item.textOrdinal, 0);
        EXPECT_EQ(item.style, static_cast<DWORD>(WS_CHILD | WS_VISIBLE | want.style));
        EXPECT_EQ(item.exStyle, 0u);
        EXPECT_EQ(item.helpId, 0u);
        EXPECT_EQ(item.x, want.x);
        EXPECT_EQ(item.y, want.y);
        EXPECT_EQ(item.cx, want.cx);
        EXPECT_EQ(item.cy, want.cy);
        EXPECT_TRUE(item.creationData.empty());
    }
}

TEST(SettingsTemplate, LanguageIsEnglishUnitedKingdom)
{
    // The compiled resource file that the build embeds: walk its entries to the dialog 101 and
    // read the language from the entry's header.
    std::ifstream file(SETTINGS_RES, std::ios::binary);
    const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(file)), {});
    ASSERT_FALSE(bytes.empty()) << SETTINGS_RES;
    auto word = [&bytes](size_t at) { return static_cast<unsigned>(bytes[at] | (bytes[at + 1] << 8)); };
    auto dword = [&](size_t at) { return word(at) | (word(at + 2) << 16); };
    int found = 0;
    for (size_t at = 0; at + 32 <= bytes.size();) {
        const size_t dataSize = dword(at), headerSize = dword(at + 4);
        // Type and name are ordinals (0xFFFF, value) in the entry we look for.
        if (word(at + 8) == 0xFFFF && word(at + 10) == 5 && word(at + 12) == 0xFFFF &&
            word(at + 14) == IDD_SETTINGS) {
            // Data version (4 bytes) and memory flags (2) come before the language.
            EXPECT_EQ(word(at + 16 + 6), MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_UK));
            ++found;
        }
        at += (headerSize + dataSize + 3) & ~size_t(3);
    }
    EXPECT_EQ(found, 1);
}

TEST(ResourceLookup, MissingResourcesNameTheirKind)
{
    std::vector<BYTE> data;
    EXPECT_FALSE(FindResourceData(ResourceTypeDialog, MAKEINTRESOURCEW(999), data));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
    EXPECT_NE(LastErrorNote().find(L"999"), std::wstring::npos);
    EXPECT_FALSE(FindResourceData(ResourceTypeDialog, L"SETTINGS", data));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
    // No menus are embedded at all.
    EXPECT_FALSE(FindResourceData(4, MAKEINTRESOURCEW(IDD_SETTINGS), data));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_TYPE_NOT_FOUND));
}

TEST(ResourceLookup, NamedResourcesMatchWithoutRegardToCase)
{
    std::vector<BYTE> body = {1, 2, 3, 4, 5};
    static const std::vector<unsigned char> image = NamedDialogResource(u"TOOLS", body);
    RegisterResourceImage(image.data(), image.size());
    std::vector<BYTE> data;
    ASSERT_TRUE(FindResourceData(ResourceTypeDialog, L"Tools", data));
    EXPECT_EQ(data, body);
    EXPECT_FALSE(FindResourceData(ResourceTypeDialog, L"Tool", data));
    // The settings template is still found among several images.
    EXPECT_TRUE(FindResourceData(ResourceTypeDialog, MAKEINTRESOURCEW(IDD_SETTINGS), data));
}

TEST(TemplateReader, RefusesCutShortAndOldFormatTemplates)
{
    std::vector<BYTE> data;
    ASSERT_TRUE(FindResourceData(ResourceTypeDialog, MAKEINTRESOURCEW(IDD_SETTINGS), data));
    DialogTemplate dialog;
    for (size_t cut : {size_t(0), size_t(3), size_t(30), data.size() / 2, data.size() - 1}) {
        SCOPED_TRACE(cut);
        std::vector<BYTE> shortened(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(cut));
        EXPECT_FALSE(ParseDialogTemplate(shortened, dialog));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_DATA));
    }
    // The older DIALOG format starts with the style instead of version 1 and 0xFFFF.
    std::vector<BYTE> old = {0xC8, 0x00, 0xC8, 0x80, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_FALSE(ParseDialogTemplate(old, dialog));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_DATA));
}

TEST(DialogUnits, RoundLikeMulDiv)
{
    EXPECT_EQ(MulDivRound(7, 6, 4), 11);  // 10.5 rounds away from zero
    EXPECT_EQ(MulDivRound(-7, 6, 4), -11);
    EXPECT_EQ(MulDivRound(350, 13, 8), 569);  // 568.75
    EXPECT_EQ(MulDivRound(5, 3, 8), 2);       // 1.875
    EXPECT_EQ(MulDivRound(1, 1, 3), 0);
    EXPECT_EQ(MulDivRound(5, 1, 0), -1);
}

TEST(EditText, LineEndsConvertAtTheBoundary)
{
    EXPECT_EQ(CrLfToLf(L"a\r\nb\r\n"), L"a\nb\n");
    EXPECT_EQ(LfToCrLf(L"a\nb\n"), L"a\r\nb\r\n");
    EXPECT_EQ(LfToCrLf(L"\nx"), L"\r\nx");
    // A lone CR stays on both ways; an LF already after a CR gets no second CR.
    EXPECT_EQ(CrLfToLf(L"p\rq"), L"p\rq");
    EXPECT_EQ(LfToCrLf(L"p\rq\r\nr"), L"p\rq\r\nr");
    EXPECT_EQ(LfToCrLf(CrLfToLf(L"x\r\n\r\ny\r")), L"x\r\n\r\ny\r");
}
