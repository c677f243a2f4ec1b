// Writing PNG files on Windows: the Windows Imaging Component's PNG encoder writes the pixels
// (rows given from the bottom up, turned top-down for it) into a temporary file beside the
// target, which is moved over it once complete, so that no partial picture is ever left under
// the target's name.
#include <string>
#include <vector>

#include "platform/ImageFiles.h"
#include "platform/Windows.h"
#include "platform/win32/Win32Internal.h"

#include <wincodec.h>

namespace {

std::wstring Failure(const std::wstring& path, HRESULT result)
{
    return L"The file " + path + L" could not be written: " + Platform::SystemText(static_cast<DWORD>(result));
}

HRESULT Encode(const std::wstring& temporary, uint32_t width, uint32_t height, const uint8_t* rowsBottomUp)
{
    Platform::Com<IWICImagingFactory> factory;
    HRESULT result = CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                      reinterpret_cast<void**>(factory.Out()));
    Platform::Com<IWICStream> stream;
    if (SUCCEEDED(result)) result = factory->CreateStream(stream.Out());
    if (SUCCEEDED(result)) result = stream->InitializeFromFilename(temporary.c_str(), GENERIC_WRITE);
    Platform::Com<IWICBitmapEncoder> encoder;
    if (SUCCEEDED(result)) result = factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, encoder.Out());
    if (SUCCEEDED(result)) result = encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache);
    Platform::Com<IWICBitmapFrameEncode> frame;
    if (SUCCEEDED(result)) result = encoder->CreateNewFrame(frame.Out(), nullptr);
    if (SUCCEEDED(result)) result = frame->Initialize(nullptr);
    if (SUCCEEDED(result)) result = frame->SetSize(width, height);
    WICPixelFormatGUID format = GUID_WICPixelFormat32bppRGBA;
    if (SUCCEEDED(result)) result = frame->SetPixelFormat(&format);
    if (SUCCEEDED(result) && format != GUID_WICPixelFormat32bppRGBA) result = WINCODEC_ERR_UNSUPPORTEDPIXELFORMAT;
    const size_t stride = static_cast<size_t>(width) * 4;
    std::vector<uint8_t> topDown(stride * height);
    for (uint32_t row = 0; row < height; ++row) {
        std::copy(rowsBottomUp + (height - 1 - row) * stride, rowsBottomUp + (height - row) * stride,
                  topDown.begin() + static_cast<std::ptrdiff_t>(row * stride));
    }
    if (SUCCEEDED(result)) {
        result = frame->WritePixels(height, static_cast<UINT>(stride), static_cast<UINT>(topDown.size()), topDown.data());
    }
    if (SUCCEEDED(result)) result = frame->Commit();
    if (SUCCEEDED(result)) result = encoder->Commit();
    return result;
}

}  // namespace

namespace Platform {

bool WritePngFile(const std::wstring& path, uint32_t width, uint32_t height, const uint8_t* rowsBottomUp,
                  std::wstring& reason)
{
    const size_t separator = path.find_last_of(L"\\/");
    const std::wstring folder = separator == std::wstring::npos ? std::wstring() : path.substr(0, separator + 1);
    const std::wstring name = separator == std::wstring::npos ? path : path.substr(separator + 1);
    const std::wstring temporary = folder + L"." + name + L".writing-" + std::to_wstring(GetCurrentProcessId());
    const HRESULT started = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    HRESULT result = Encode(temporary, width, height, rowsBottomUp);
    if (SUCCEEDED(started)) {
        CoUninitialize();
    }
    if (SUCCEEDED(result) && !MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        result = HRESULT_FROM_WIN32(GetLastError());
    }
    if (FAILED(result)) {
        DeleteFileW(temporary.c_str());
        reason = Failure(path, result);
        return false;
    }
    return true;
}

}  // namespace Platform
