// The text-file tests' folder and their reading of it through the standard library and the
// system's own calls.
#include "TextFileFixture.h"

#include <fstream>
#include <iterator>
#include <random>
#include <system_error>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "common/Exception.h"
#include "common/TextFile.h"

namespace fs = std::filesystem;

void TextFileTest::SetUp()
{
    std::random_device random;
    const fs::path base = fs::temp_directory_path();
    for (int attempt = 0; attempt < 100 && m_dir.empty(); ++attempt) {
        fs::path candidate = base / ("morvane-textfile-" + std::to_string(random()));
        if (fs::create_directory(candidate)) {
            m_dir = candidate;
        }
    }
    ASSERT_FALSE(m_dir.empty()) << "no fresh folder could be made in " << base.u8string();
}

void TextFileTest::TearDown()
{
    std::error_code ignored;
    if (!m_dir.empty()) fs::remove_all(m_dir, ignored);
}

fs::path TextFileTest::Path(const std::string& name) const
{
    return m_dir / fs::u8path(name);
}

std::wstring TextFileTest::WidePath(const std::string& name) const
{
    return Path(name).wstring();
}

void TextFileTest::WriteBytes(const std::string& name, const std::string& bytes) const
{
    std::ofstream out(Path(name), std::ios::binary);
    out << bytes;
    out.close();
    EXPECT_TRUE(out) << "could not write " << name;
}

std::string TextFileTest::Bytes(const std::string& name) const
{
    std::ifstream in(Path(name), std::ios::binary);
    EXPECT_TRUE(in) << "could not open " << name;
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void TextFileTest::MakeFolder(const std::string& name) const
{
    std::error_code error;
    EXPECT_TRUE(fs::create_directory(Path(name), error)) << name << ": " << error.message();
}

void TextFileTest::HardLink(const std::string& existing, const std::string& name) const
{
    std::error_code error;
    fs::create_hard_link(Path(existing), Path(name), error);
    EXPECT_FALSE(error) << name << ": " << error.message();
}

size_t TextFileTest::EntryCount() const
{
    size_t count = 0;
    for (auto entry = fs::directory_iterator(m_dir); entry != fs::directory_iterator(); ++entry) ++count;
    return count;
}

std::uint64_t TextFileTest::Identity(const std::string& name) const
{
#ifdef _WIN32
    HANDLE file = CreateFileW(Path(name).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    EXPECT_NE(file, INVALID_HANDLE_VALUE) << name << ": error " << GetLastError();
    BY_HANDLE_FILE_INFORMATION information = {};
    EXPECT_TRUE(GetFileInformationByHandle(file, &information)) << name << ": error " << GetLastError();
    CloseHandle(file);
    return (static_cast<std::uint64_t>(information.nFileIndexHigh) << 32) | information.nFileIndexLow;
#else
    struct stat info {};
    EXPECT_EQ(stat(Path(name).c_str(), &info), 0) << name;
    return info.st_ino;
#endif
}

std::wstring TextFileTest::ExpectSaveFails(const std::wstring& path, const std::string& text, DWORD code) const
{
    try {
        Common::WriteTextFile(path, text);
        ADD_FAILURE() << "the save reported success";
    } catch (const Common::Exception& e) {
        EXPECT_EQ(e.Message(), L"File couldn't be saved.");
        EXPECT_EQ(e.Detail().code, code);
        EXPECT_FALSE(e.Detail().text.empty());
        return e.Detail().text;
    }
    return L"";
}

void TextFileTest::ExpectLoadFails(const std::wstring& path, DWORD code) const
{
    try {
        Common::ReadTextFile(path);
        ADD_FAILURE() << "the load reported success";
    } catch (const Common::Exception& e) {
        EXPECT_EQ(e.Message(), L"File couldn't be loaded.");
        EXPECT_EQ(e.Detail().code, code);
        EXPECT_FALSE(e.Detail().text.empty());
    }
}
