// The text-file tests' fixture: a fresh folder of real files for each test, and the file system's
// own view of it (a file's bytes, the names in the folder, which file a name stands for), read
// without the code under test. Names are relative to the folder, '/'-separated and in UTF-8.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "platform/Windows.h"

class TextFileTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The native path of a name in the folder.
    std::filesystem::path Path(const std::string& name) const;
    // The same path as the program is given it.
    std::wstring WidePath(const std::string& name) const;

    void WriteBytes(const std::string& name, const std::string& bytes) const;
    std::string Bytes(const std::string& name) const;
    void MakeFolder(const std::string& name) const;
    void HardLink(const std::string& existing, const std::string& name) const;
    // The number of names directly in the folder, so that a temporary file left behind shows.
    size_t EntryCount() const;
    // What identifies the file behind a name (its inode, or its Windows file index): a file
    // rewritten in place keeps it, a file replaced by a new one does not.
    std::uint64_t Identity(const std::string& name) const;

    // Expects the save to fail with the save message and `code`, and returns the detail text.
    std::wstring ExpectSaveFails(const std::wstring& path, const std::string& text, DWORD code) const;
    // Expects the load to fail with the load message and `code`.
    void ExpectLoadFails(const std::wstring& path, DWORD code) const;

    std::filesystem::path m_dir;
};
