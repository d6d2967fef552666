#include "common/path/path.h"

#include <gtest/gtest.h>

namespace {

struct AppendCase {
    const wchar_t* base;
    const wchar_t* name;  // null: no name at all
    bool ok;
    const wchar_t* expected;
};

TEST(AppendPath, JoinsWithExactlyOneBackslash) {
    const AppendCase cases[] = {
        {L"C:\\dir", L"file", true, L"C:\\dir\\file"},
        {L"C:\\dir\\", L"file", true, L"C:\\dir\\file"},
        {L"C:\\dir", L"\\file", true, L"C:\\dir\\file"},
        {L"C:\\dir\\", L"\\file", true, L"C:\\dir\\file"},
        // Only one leading backslash of the name is dropped.
        {L"C:\\dir", L"\\\\file", true, L"C:\\dir\\\\file"},
        {L"C:\\dir", L"", true, L"C:\\dir"},
        {L"C:\\dir\\", L"", true, L"C:\\dir\\"},
        {L"", L"file", true, L"\\file"},
        {L"", L"\\file", true, L"\\file"},
        {L"", L"", true, L"\\"},
        {L"C:\\dir", L"*", true, L"C:\\dir\\*"},
        {L"C:\\dir", nullptr, false, L"C:\\dir"},
        {L"", nullptr, false, L""},
    };
    for (const auto& c : cases) {
        std::wstring base = c.base;
        EXPECT_EQ(AppendPath(base, c.name), c.ok) << c.base;
        EXPECT_EQ(base, c.expected) << c.base << L" + " << (c.name ? c.name : L"(none)");
    }
}

TEST(ParentPath, DropsTheLastComponent) {
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"C:\\dir\\file", L"C:\\dir"},
        {L"C:\\a\\b\\c", L"C:\\a\\b"},
        {L"C:\\a", L"C:"},
        {L"C:\\", L"C:"},
        {L"C:\\a\\", L"C:\\a"},
        // The separator run before the last component goes as a whole.
        {L"C:\\a\\\\b", L"C:\\a"},
        {L"file.txt", L"\\"},
        {L"", L"\\"},
        {L"\\a", L"\\"},
        {L"\\\\a", L"\\"},
        {L"\\", L"\\"},
        {L"\\\\server\\share", L"\\\\server"},
        {L"a\\b", L"a"},
    };
    for (const auto& [path, parent] : cases)
        EXPECT_EQ(ParentPath(path), parent) << path;
}

TEST(FileNameOfPath, SplitsAtTheLastBackslashWithDirectoryOfPath) {
    struct Case {
        const wchar_t* path;
        const wchar_t* directory;
        const wchar_t* fileName;
    };
    const Case cases[] = {
        {L"C:\\Program Files\\Quillpack\\QPChkUpd2.exe", L"C:\\Program Files\\Quillpack", L"QPChkUpd2.exe"},
        {L"Tivolan.exe", L"", L"Tivolan.exe"},
        {L"C:\\x.exe", L"C:", L"x.exe"},
        {L"C:\\dir\\", L"C:\\dir", L""},
        {L"\\x", L"", L"x"},
        {L"", L"", L""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DirectoryOfPath(c.path), c.directory) << c.path;
        EXPECT_EQ(FileNameOfPath(c.path), c.fileName) << c.path;
    }
}

TEST(IsDriveRoot, AcceptsOnlyLetterColonBackslash) {
    EXPECT_TRUE(IsDriveRoot(L"C:\\"));
    EXPECT_TRUE(IsDriveRoot(L"z:\\"));
    EXPECT_FALSE(IsDriveRoot(L"C:"));
    EXPECT_FALSE(IsDriveRoot(L"C:\\a"));
    EXPECT_FALSE(IsDriveRoot(L"1:\\"));
    EXPECT_FALSE(IsDriveRoot(L"\\\\"));
}

TEST(HexPaddedWithSpaces, PadsToFourWithSpacesNotZeros) {
    const std::pair<unsigned, const wchar_t*> cases[] = {
        {0x0, L"   0"},    {0xA, L"   A"},    {0x1F, L"  1F"},     {0xABC, L" ABC"},
        {0xFFFF, L"FFFF"}, {0x1234, L"1234"}, {0x10000, L"10000"},
    };
    for (const auto& [value, text] : cases)
        EXPECT_EQ(HexPaddedWithSpaces(value), text) << value;
}

}  // namespace
