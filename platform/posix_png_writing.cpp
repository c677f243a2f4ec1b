// Writing PNG files on Linux: libpng's simplified API writes the pixels (rows given from the
// bottom up) into a temporary file beside the target, which is renamed over it once complete, so
// that no partial picture is ever left under the target's name.
#include <png.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "ImageFiles.h"
#include "linux/PosixInternal.h"

namespace Platform {
namespace {

std::string FolderOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::wstring ErrnoText(int error)
{
    return Utf8ToWideText(std::strerror(error));
}

}  // namespace

bool WritePngFile(const std::wstring& path, uint32_t width, uint32_t height, const uint8_t* rowsBottomUp,
                  std::wstring& reason)
{
    const std::string target = NativePath(path);
    std::string temporary = FolderOf(target) + "/." + NameOf(target) + ".writing-" + std::to_string(getpid()) + "-XXXXXX";
    const int descriptor = mkostemp(&temporary[0], O_CLOEXEC);
    if (descriptor < 0) {
        reason = L"The file " + path + L" could not be written: " + ErrnoText(errno);
        return false;
    }
    std::FILE* file = fdopen(descriptor, "wb");
    if (!file) {
        reason = L"The file " + path + L" could not be written: " + ErrnoText(errno);
        close(descriptor);
        unlink(temporary.c_str());
        return false;
    }
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = width;
    image.height = height;
    image.format = PNG_FORMAT_RGBA;
    image.flags = PNG_IMAGE_FLAG_FAST;
    // A negative stride hands libpng the rows from the bottom up.
    const png_int_32 stride = -static_cast<png_int_32>(PNG_IMAGE_ROW_STRIDE(image));
    const bool encoded = png_image_write_to_stdio(&image, file, 0, rowsBottomUp, stride, nullptr) != 0;
    const std::wstring encoderMessage = Utf8ToWideText(image.message);
    png_image_free(&image);
    const bool flushed = std::fflush(file) == 0;
    const int flushError = errno;
    const bool closed = std::fclose(file) == 0;
    if (!encoded || !flushed || !closed) {
        unlink(temporary.c_str());
        reason = L"The file " + path + L" could not be written: " +
                 (!encoded ? encoderMessage : ErrnoText(flushed ? errno : flushError));
        return false;
    }
    // A new picture gets the permissions a newly created file would get.
    const mode_t mask = umask(0);
    umask(mask);
    chmod(temporary.c_str(), 0666 & ~mask);
    if (rename(temporary.c_str(), target.c_str()) != 0) {
        const int error = errno;
        unlink(temporary.c_str());
        reason = L"The file " + path + L" could not be written: " + ErrnoText(error);
        return false;
    }
    return true;
}

}  // namespace Platform
