// Writing PNG files on Windows: the Windows Imaging Component's PNG encoder writes the pixels
// (rows given from the bottom up, turned top-down for it) into a temporary file beside the
// target, which is moved over it once complete, so that no partial picture is ever left under
// the target's name.
#include <string>
#include <vector>

#include "platform/ImageFiles.h"
#include "platform/Windows.h"

#include <wincodec.h>

namespace {

template <class Interface>
class Released {
public:
    Released() = default;
    Released(const Released&) = delete;
    Released& operator=(const Released&) = delete;
    ~Released()
    {
        if (m_pointer) m_pointer->Release();
    }
    Interface** Out() { return &m_pointer; }
    Interface* operator->() const { return m_pointer; }
    Interface* Get() const { return m_pointer; }

private:
    Interface* m_pointer = nullptr;
};

std::wstring Failure(const std::wstring& path, HRESULT result)
{
    wchar_t* text = nullptr;
    FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                   static_cast<DWORD>(result), 0, reinterpret_cast<LPWSTR>(&text), 0, nullptr);
    std::wstring reason = L"The file " + path + L" could not be written: " +
                          (text ? std::wstring(text) : L"error " + std::to_wstring(static_cast<unsigned long>(result)));
    if (text) LocalFree(text);
    while (!reason.empty() && (reason.back() == L'\n' || reason.back() == L'\r')) reason.pop_back();
    return reason;
}

HRESULT Encode(const std::wstring& temporary, uint32_t width, uint32_t height, const uint8_t* rowsBottomUp)
{
    Released<IWICImagingFactory> factory;
    HRESULT result = CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                      reinterpret_cast<void**>(factory.Out()));
    Released<IWICStream> stream;
    if (SUCCEEDED(result)) result = factory->CreateStream(stream.Out());
    if (SUCCEEDED(result)) result = stream->InitializeFromFilename(temporary.c_str(), GENERIC_WRITE);
    Released<IWICBitmapEncoder> encoder;
    if (SUCCEEDED(result)) result = factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, encoder.Out());
    if (SUCCEEDED(result)) result = encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache);
    Released<IWICBitmapFrameEncode> frame;
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
