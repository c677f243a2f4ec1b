// A dialog template as the resource holds it (the extended format written by DIALOGEX), read
// field by field from its binary form.
#pragma once

#include <string>
#include <vector>

#include "../winapi/BaseTypes.h"

namespace Platform {

// Predefined control classes, named in templates by these ordinals.
constexpr WORD ControlClassButton = 0x0080;
constexpr WORD ControlClassEdit = 0x0081;
constexpr WORD ControlClassStatic = 0x0082;

struct DialogItemTemplate {
    DWORD helpId = 0;
    DWORD exStyle = 0;
    DWORD style = 0;
    short x = 0;
    short y = 0;
    short cx = 0;
    short cy = 0;
    DWORD id = 0;
    // The class as an ordinal (0 when given by name) or as a name.
    WORD classOrdinal = 0;
    std::wstring className;
    // The text as a string, or a resource ordinal (0 when given as a string).
    WORD textOrdinal = 0;
    std::wstring text;
    std::vector<BYTE> creationData;
};

struct DialogTemplate {
    DWORD helpId = 0;
    DWORD exStyle = 0;
    DWORD style = 0;
    short x = 0;
    short y = 0;
    short cx = 0;
    short cy = 0;
    WORD menuOrdinal = 0;
    std::wstring menuName;
    WORD classOrdinal = 0;
    std::wstring className;
    std::wstring title;
    // Present when the style has DS_SETFONT.
    bool hasFont = false;
    WORD pointSize = 0;
    WORD weight = 0;
    bool italic = false;
    BYTE charset = 0;
    std::wstring typeface;
    std::vector<DialogItemTemplate> items;
};

// Reads an extended dialog template. A template in the older format, or one that is cut short,
// fails with ERROR_INVALID_DATA as the last error.
bool ParseDialogTemplate(const std::vector<BYTE>& data, DialogTemplate& result);

}  // namespace Platform
