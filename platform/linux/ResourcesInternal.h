// The resources family's internal header: the program's resource table and the dialog template
// read from it. Nothing here knows GTK.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "../winapi/BaseTypes.h"

namespace Platform {

// The executable's Windows resources: compiled resource files (.res) embedded by the build and
// registered before main, and the look-up of one resource by type and name, as FindResource does.

// Resource type of dialog templates (RT_DIALOG).
constexpr WORD ResourceTypeDialog = 5;

// True when `name` is an integer resource id made with MAKEINTRESOURCEW rather than a string.
inline bool IsIntResource(LPCWSTR name)
{
    return (reinterpret_cast<ULONG_PTR>(name) >> 16) == 0;
}

// Registers the bytes of a compiled resource file. The bytes must stay alive for the whole
// run (they are a static array of the program). Returns true so that it can initialise a static.
bool RegisterResourceImage(const unsigned char* bytes, size_t size);

// Finds the data of the resource with the given type and name (an integer resource made with
// MAKEINTRESOURCEW, or a name, compared without regard to case). On failure returns false with
// ERROR_RESOURCE_TYPE_NOT_FOUND, ERROR_RESOURCE_NAME_NOT_FOUND or, for a malformed resource
// file, ERROR_RESOURCE_DATA_NOT_FOUND as the last error.
bool FindResourceData(WORD type, LPCWSTR name, std::vector<BYTE>& data);

// A dialog template as the resource holds it (the extended format written by DIALOGEX), read
// field by field from its binary form.

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
