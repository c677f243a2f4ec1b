// FormatMessageW for system messages: the English text of every error code the layer sets,
// ending in CR LF as on Windows, followed by the note the layer kept with the last error.
#include <cstdlib>
#include <cstring>
#include <string>

#include "Windows.h"
#include "linux/PosixInternal.h"

namespace {

const wchar_t* SystemText(DWORD code)
{
    switch (code) {
    case ERROR_SUCCESS: return L"The operation completed successfully.";
    case ERROR_INVALID_FUNCTION: return L"Incorrect function.";
    case ERROR_FILE_NOT_FOUND: return L"The system cannot find the file specified.";
    case ERROR_PATH_NOT_FOUND: return L"The system cannot find the path specified.";
    case ERROR_TOO_MANY_OPEN_FILES: return L"The system cannot open the file.";
    case ERROR_ACCESS_DENIED: return L"Access is denied.";
    case ERROR_INVALID_HANDLE: return L"The handle is invalid.";
    case ERROR_NOT_ENOUGH_MEMORY: return L"Not enough memory resources are available to process this command.";
    case ERROR_BAD_FORMAT: return L"An attempt was made to load a program with an incorrect format.";
    case ERROR_INVALID_DATA: return L"The data is invalid.";
    case ERROR_OUTOFMEMORY: return L"Not enough memory resources are available to complete this operation.";
    case ERROR_NOT_SAME_DEVICE: return L"The system cannot move the file to a different disk drive.";
    case ERROR_WRITE_PROTECT: return L"The media is write protected.";
    case ERROR_NOT_READY: return L"The device is not ready.";
    case ERROR_WRITE_FAULT: return L"The system cannot write to the specified device.";
    case ERROR_READ_FAULT: return L"The system cannot read from the specified device.";
    case ERROR_GEN_FAILURE: return L"A device attached to the system is not functioning.";
    case ERROR_SHARING_VIOLATION: return L"The process cannot access the file because it is being used by another process.";
    case ERROR_LOCK_VIOLATION: return L"The process cannot access the file because another process has locked a portion of the file.";
    case ERROR_HANDLE_EOF: return L"Reached the end of the file.";
    case ERROR_HANDLE_DISK_FULL: return L"The disk is full.";
    case ERROR_NOT_SUPPORTED: return L"The request is not supported.";
    case ERROR_FILE_EXISTS: return L"The file exists.";
    case ERROR_INVALID_PARAMETER: return L"The parameter is incorrect.";
    case ERROR_BROKEN_PIPE: return L"The pipe has been ended.";
    case ERROR_DISK_FULL: return L"There is not enough space on the disk.";
    case ERROR_CALL_NOT_IMPLEMENTED: return L"This function is not supported on this system.";
    case ERROR_INSUFFICIENT_BUFFER: return L"The data area passed to a system call is too small.";
    case ERROR_INVALID_NAME: return L"The filename, directory name, or volume label syntax is incorrect.";
    case ERROR_MOD_NOT_FOUND: return L"The specified module could not be found.";
    case ERROR_PROC_NOT_FOUND: return L"The specified procedure could not be found.";
    case ERROR_DIR_NOT_EMPTY: return L"The directory is not empty.";
    case ERROR_BUSY: return L"The requested resource is in use.";
    case ERROR_ALREADY_EXISTS: return L"Cannot create a file when that file already exists.";
    case ERROR_FILENAME_EXCED_RANGE: return L"The filename or extension is too long.";
    case ERROR_FILE_TOO_LARGE: return L"The file size exceeds the limit allowed and cannot be saved.";
    case ERROR_DIRECTORY: return L"The directory name is invalid.";
    case ERROR_MR_MID_NOT_FOUND: return L"The system cannot find message text for message number 0x%1 in the message file for %2.";
    case ERROR_INVALID_ADDRESS: return L"Attempt to access invalid address.";
    case ERROR_INVALID_FLAGS: return L"Invalid flags.";
    case ERROR_CANTOPEN: return L"The configuration registry key could not be opened.";
    case ERROR_CANTREAD: return L"The configuration registry key could not be read.";
    case ERROR_CANTWRITE: return L"The configuration registry key could not be written.";
    case ERROR_NO_UNICODE_TRANSLATION: return L"No mapping for the Unicode character exists in the target multi-byte code page.";
    case ERROR_IO_DEVICE: return L"The request could not be performed because of an I/O device error.";
    case ERROR_DEVICE_NOT_CONNECTED: return L"The device is not connected.";
    case ERROR_INVALID_WINDOW_HANDLE: return L"Invalid window handle.";
    case ERROR_INVALID_MENU_HANDLE: return L"Invalid menu handle.";
    case ERROR_INVALID_CURSOR_HANDLE: return L"Invalid cursor handle.";
    case ERROR_CANNOT_FIND_WND_CLASS: return L"Cannot find window class.";
    case ERROR_WINDOW_OF_OTHER_THREAD: return L"Invalid window; it belongs to other thread.";
    case ERROR_CLASS_ALREADY_EXISTS: return L"Class already exists.";
    case ERROR_CLASS_DOES_NOT_EXIST: return L"Class does not exist.";
    case ERROR_CLASS_HAS_WINDOWS: return L"Class still has open windows.";
    case ERROR_INVALID_INDEX: return L"Invalid index.";
    case ERROR_DC_NOT_FOUND: return L"Invalid device context (DC) handle.";
    case ERROR_INVALID_GW_COMMAND: return L"Invalid GW_* command.";
    case ERROR_NO_SYSTEM_RESOURCES: return L"Insufficient system resources exist to complete the requested service.";
    case ERROR_INVALID_MONITOR_HANDLE: return L"Invalid monitor handle.";
    case ERROR_RESOURCE_DATA_NOT_FOUND: return L"The specified image file did not contain a resource section.";
    case ERROR_RESOURCE_TYPE_NOT_FOUND: return L"The specified resource type cannot be found in the image file.";
    case ERROR_RESOURCE_NAME_NOT_FOUND: return L"The specified resource name cannot be found in the image file.";
    case ERROR_INVALID_PIXEL_FORMAT: return L"The pixel format is invalid.";
    case ERROR_DEVICE_NOT_AVAILABLE: return L"The device is not ready for use.";
    default: return nullptr;
    }
}

}  // namespace

DWORD WINAPI FormatMessageW(DWORD flags, LPCVOID, DWORD messageId, DWORD, LPWSTR buffer, DWORD size,
                            va_list*)
{
    if ((flags & FORMAT_MESSAGE_FROM_SYSTEM) == 0 || !buffer) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const wchar_t* standard = SystemText(messageId);
    if (!standard) {
        SetLastError(ERROR_MR_MID_NOT_FOUND);
        return 0;
    }
    std::wstring text = standard;
    const std::wstring& note = Platform::LastErrorNote();
    if (messageId == GetLastError() && !note.empty()) {
        text += L" " + note;
    }
    text += L"\r\n";

    DWORD length = static_cast<DWORD>(text.size());
    if (flags & FORMAT_MESSAGE_ALLOCATE_BUFFER) {
        auto* allocated = static_cast<wchar_t*>(std::malloc((text.size() + 1) * sizeof(wchar_t)));
        if (!allocated) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return 0;
        }
        std::wmemcpy(allocated, text.c_str(), text.size() + 1);
        *reinterpret_cast<LPWSTR*>(buffer) = allocated;
        return length;
    }
    if (size < length + 1) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::wmemcpy(buffer, text.c_str(), text.size() + 1);
    return length;
}

HLOCAL WINAPI LocalFree(HLOCAL memory)
{
    std::free(memory);
    return nullptr;
}
