// Image files on POSIX: the file is read whole, then decoded from memory by libpng's simplified
// reader or by libjpeg-turbo into RGBA, with the size checked from the header before any pixel
// is decoded. Failures carry the system's or the library's own words.
#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <jpeglib.h>
#include <png.h>

#include "ImageFiles.h"
#include "Windows.h"
#include "linux/PosixInternal.h"

namespace {

using Platform::ImageFileResult;
using Platform::RgbaImage;

// Larger files are refused before they are read: no image a viewer can take is that large.
const long kMaximumFileBytes = 256L * 1024L * 1024L;

// The Windows text for an errno value, as the rest of the layer gives it, without its line end.
std::wstring SystemText(int error)
{
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ALLOCATE_BUFFER |
                                            FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, Platform::ErrnoToWin32(error), 0,
                                        reinterpret_cast<LPWSTR>(&text), 0, nullptr);
    std::wstring result = length > 0 && text ? std::wstring(text, length) : L"Error " + std::to_wstring(error) + L".";
    if (text) {
        LocalFree(text);
    }
    while (!result.empty() && (result.back() == L'\n' || result.back() == L'\r')) {
        result.pop_back();
    }
    return result;
}

std::wstring Wide(const char* text)
{
    return Platform::Utf8ToWideText(text);
}

std::wstring TooLarge(uint32_t width, uint32_t height, uint32_t maxSide)
{
    return L"The image is " + std::to_wstring(width) + L" x " + std::to_wstring(height) +
           L" pixels; images up to " + std::to_wstring(maxSide) + L" x " + std::to_wstring(maxSide) +
           L" pixels can be used.";
}

ImageFileResult ReadWholeFile(const std::string& path, std::vector<unsigned char>& bytes, std::wstring& reason)
{
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        const int error = errno;
        if (error == ENOENT || error == ENOTDIR) {
            return ImageFileResult::Missing;
        }
        reason = SystemText(error);
        return ImageFileResult::Refused;
    }
    unsigned char chunk[65536];
    size_t count = 0;
    while ((count = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
        bytes.insert(bytes.end(), chunk, chunk + count);
        if (bytes.size() > static_cast<size_t>(kMaximumFileBytes)) {
            std::fclose(file);
            reason = L"The file is larger than " + std::to_wstring(kMaximumFileBytes / (1024 * 1024)) + L" MiB.";
            return ImageFileResult::Refused;
        }
    }
    const int error = std::ferror(file) ? errno : 0;
    std::fclose(file);
    if (error != 0) {
        reason = SystemText(error);
        return ImageFileResult::Refused;
    }
    return ImageFileResult::Read;
}

ImageFileResult DecodePng(const std::vector<unsigned char>& bytes, uint32_t maxSide, RgbaImage& image,
                          std::wstring& reason)
{
    png_image png;
    std::memset(&png, 0, sizeof png);
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&png, bytes.data(), bytes.size())) {
        reason = L"It is not a PNG image that can be read: " + Wide(png.message) + L".";
        png_image_free(&png);
        return ImageFileResult::Refused;
    }
    if (png.width > maxSide || png.height > maxSide) {
        reason = TooLarge(png.width, png.height, maxSide);
        png_image_free(&png);
        return ImageFileResult::Refused;
    }
    png.format = PNG_FORMAT_RGBA;
    image.pixels.resize(PNG_IMAGE_SIZE(png));
    if (!png_image_finish_read(&png, nullptr, image.pixels.data(), 0, nullptr)) {
        reason = L"The PNG image is damaged: " + Wide(png.message) + L".";
        png_image_free(&png);
        image.pixels.clear();
        return ImageFileResult::Refused;
    }
    image.width = png.width;
    image.height = png.height;
    return ImageFileResult::Read;
}

// libjpeg reports a fatal error by calling error_exit, which must not return: it jumps back to
// the decoder below with the library's message kept.
struct JpegErrors {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void JpegFatal(j_common_ptr info)
{
    JpegErrors* errors = reinterpret_cast<JpegErrors*>(info->err);
    (*info->err->format_message)(info, errors->message);
    std::longjmp(errors->jump, 1);
}

// Warnings (such as data that ends early, decoded as far as it goes) are not printed.
void JpegQuiet(j_common_ptr) {}

// No object with a destructor lives in this function's frame: the error jump skips them.
bool DecodeJpegPixels(const std::vector<unsigned char>& bytes, uint32_t maxSide, RgbaImage& image,
                      char* message, bool& tooLarge)
{
    jpeg_decompress_struct info;
    JpegErrors errors;
    std::memset(&info, 0, sizeof info);
    info.err = jpeg_std_error(&errors.manager);
    errors.manager.error_exit = JpegFatal;
    errors.manager.output_message = JpegQuiet;
    errors.message[0] = '\0';
    if (setjmp(errors.jump) != 0) {
        std::memcpy(message, errors.message, JMSG_LENGTH_MAX);
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, bytes.data(), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&info, TRUE);
    if (info.image_width > maxSide || info.image_height > maxSide) {
        image.width = info.image_width;
        image.height = info.image_height;
        tooLarge = true;
        jpeg_destroy_decompress(&info);
        return false;
    }
    info.out_color_space = JCS_EXT_RGBA;
    jpeg_start_decompress(&info);
    image.width = info.output_width;
    image.height = info.output_height;
    image.pixels.resize(static_cast<size_t>(image.width) * image.height * 4);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = image.pixels.data() + static_cast<size_t>(info.output_scanline) * image.width * 4;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

ImageFileResult DecodeJpeg(const std::vector<unsigned char>& bytes, uint32_t maxSide, RgbaImage& image,
                           std::wstring& reason)
{
    char message[JMSG_LENGTH_MAX] = {};
    bool tooLarge = false;
    if (DecodeJpegPixels(bytes, maxSide, image, message, tooLarge)) {
        return ImageFileResult::Read;
    }
    reason = tooLarge ? TooLarge(image.width, image.height, maxSide)
                      : L"It is not a JPEG image that can be read: " + Wide(message) + L".";
    image = RgbaImage();
    return ImageFileResult::Refused;
}

}  // namespace

namespace Platform {

ImageFileResult ReadImageFile(const std::wstring& path, ImageFileType type, uint32_t maxSide, RgbaImage& image,
                              std::wstring& reason)
{
    image = RgbaImage();
    reason.clear();
    std::vector<unsigned char> bytes;
    const ImageFileResult read = ReadWholeFile(Platform::NativePath(path), bytes, reason);
    if (read != ImageFileResult::Read) {
        return read;
    }
    return type == ImageFileType::Png ? DecodePng(bytes, maxSide, image, reason)
                                      : DecodeJpeg(bytes, maxSide, image, reason);
}

}  // namespace Platform
