// Image files on Windows: the Windows Imaging Component decodes them, with the decoder named for
// the file's type (PNG or JPEG, never one chosen from the contents), converted to 32-bit RGBA;
// the size is checked before any pixel is decoded. Failures carry the system's own words.
#include <string>
#include <vector>

#include "platform/ImageFiles.h"
#include "platform/Windows.h"
#include "platform/win32/Win32Internal.h"

#include <wincodec.h>

namespace {

using Platform::Com;
using Platform::ImageFileResult;
using Platform::RgbaImage;
using Platform::SystemText;

std::wstring TooLarge(UINT width, UINT height, uint32_t maxSide)
{
    return L"The image is " + std::to_wstring(width) + L" x " + std::to_wstring(height) +
           L" pixels; images up to " + std::to_wstring(maxSide) + L" x " + std::to_wstring(maxSide) +
           L" pixels can be used.";
}

ImageFileResult Decode(const std::wstring& path, Platform::ImageFileType type, uint32_t maxSide, RgbaImage& image,
                       std::wstring& reason)
{
    // The file is opened first, so that a missing one is told apart from one that cannot be decoded.
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
            return ImageFileResult::Missing;
        }
        reason = SystemText(error);
        return ImageFileResult::Refused;
    }
    CloseHandle(file);

    Com<IWICImagingFactory> factory;
    HRESULT result = CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                      reinterpret_cast<void**>(factory.Out()));
    Com<IWICStream> stream;
    if (SUCCEEDED(result)) {
        result = factory->CreateStream(stream.Out());
    }
    if (SUCCEEDED(result)) {
        result = stream->InitializeFromFilename(path.c_str(), GENERIC_READ);
    }
    if (FAILED(result)) {
        reason = SystemText(static_cast<DWORD>(result));
        return ImageFileResult::Refused;
    }
    const GUID container = type == Platform::ImageFileType::Png ? GUID_ContainerFormatPng : GUID_ContainerFormatJpeg;
    const wchar_t* const name = type == Platform::ImageFileType::Png ? L"PNG" : L"JPEG";
    Com<IWICBitmapDecoder> decoder;
    Com<IWICBitmapFrameDecode> frame;
    UINT width = 0;
    UINT height = 0;
    result = factory->CreateDecoder(container, nullptr, decoder.Out());
    if (SUCCEEDED(result)) {
        result = decoder->Initialize(stream.Get(), WICDecodeMetadataCacheOnDemand);
    }
    if (SUCCEEDED(result)) {
        result = decoder->GetFrame(0, frame.Out());
    }
    if (SUCCEEDED(result)) {
        result = frame->GetSize(&width, &height);
    }
    if (FAILED(result)) {
        reason = L"It is not a " + std::wstring(name) + L" image that can be read: " +
                 SystemText(static_cast<DWORD>(result));
        return ImageFileResult::Refused;
    }
    if (width > maxSide || height > maxSide) {
        reason = TooLarge(width, height, maxSide);
        return ImageFileResult::Refused;
    }
    Com<IWICFormatConverter> converter;
    result = factory->CreateFormatConverter(converter.Out());
    if (SUCCEEDED(result)) {
        result = converter->Initialize(frame.Get(), GUID_WICPixelFormat32bppRGBA, WICBitmapDitherTypeNone, nullptr,
                                       0.0, WICBitmapPaletteTypeCustom);
    }
    std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * 4);
    if (SUCCEEDED(result)) {
        result = converter->CopyPixels(nullptr, width * 4, static_cast<UINT>(pixels.size()), pixels.data());
    }
    if (FAILED(result)) {
        reason = L"The " + std::wstring(name) + L" image is damaged: " + SystemText(static_cast<DWORD>(result));
        return ImageFileResult::Refused;
    }
    image.width = width;
    image.height = height;
    image.pixels.swap(pixels);
    return ImageFileResult::Read;
}

}  // namespace

namespace Platform {

ImageFileResult ReadImageFile(const std::wstring& path, ImageFileType type, uint32_t maxSide, RgbaImage& image,
                              std::wstring& reason)
{
    image = RgbaImage();
    reason.clear();
    // COM serves this thread for the one decoding (a thread that runs it already keeps it so).
    const HRESULT started = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (FAILED(started) && started != RPC_E_CHANGED_MODE) {
        reason = SystemText(static_cast<DWORD>(started));
        return ImageFileResult::Refused;
    }
    const ImageFileResult result = Decode(path, type, maxSide, image, reason);
    if (SUCCEEDED(started)) {
        CoUninitialize();
    }
    return result;
}

}  // namespace Platform
