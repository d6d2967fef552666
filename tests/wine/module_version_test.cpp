#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "common/path/file_system.h"
#include "common/version/module_version.h"
#include "tests/wine/test_support.h"

namespace {

std::wstring ProbePath() {
    return GetModuleDirectory() + L"\\probe.dll";
}

TEST(CModuleVersion, ReadsTheRunningProgram) {
    CModuleVersion version;
    ASSERT_TRUE(version.LoadModule());
    EXPECT_EQ(version.Fixed().dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(version.FileVersion(), (VersionQuad{1, 2, 3, 4}));
    EXPECT_EQ(version.ProductVersion(), (VersionQuad{5, 6, 7, 8}));
    EXPECT_EQ(version.Fixed().dwFileType, static_cast<DWORD>(VFT_APP));
    // The first translation picks the string table.
    EXPECT_EQ(version.Language(), 0x0412);
    EXPECT_EQ(version.CodePage(), 1200);
    EXPECT_EQ(version.GetValue(L"ProductVersion"), L"5.6.7.8 (ko)");
    EXPECT_EQ(version.GetValue(L"CompanyName"), L"시험 제작사");
    EXPECT_EQ(version.GetValue(L"NoSuchValue"), L"");
}

TEST(CModuleVersion, LoadsAFileByPath) {
    CModuleVersion version;
    ASSERT_TRUE(version.Load(GetModuleFilePath()));
    EXPECT_EQ(version.GetValue(L"FileDescription"), L"통합 시험");
}

TEST(CModuleVersion, ModulesThatAreNotLoadedAreRefused) {
    CModuleVersion version;
    ASSERT_TRUE(version.LoadModule());
    // A failed load leaves nothing of the earlier one behind.
    EXPECT_FALSE(version.LoadModule(L"qp-not-loaded-anywhere.dll"));
    EXPECT_EQ(version.GetValue(L"ProductVersion"), L"");
    EXPECT_EQ(version.Fixed().dwSignature, 0u);
    EXPECT_EQ(version.CodePage(), CModuleVersion::kDefaultCodePage);
}

TEST(CModuleVersion, ASystemModuleByName) {
    CModuleVersion version;
    ASSERT_TRUE(version.LoadModule(L"kernel32.dll"));
    EXPECT_EQ(version.Fixed().dwSignature, 0xFEEF04BDu);
    EXPECT_GT(version.ProductVersion().major, 0);
}

TEST(CModuleVersion, FilesWithoutAVersionResourceFail) {
    CModuleVersion version;
    ASSERT_TRUE(PathExists(ProbePath()));
    EXPECT_FALSE(version.Load(ProbePath()));
    EXPECT_EQ(version.GetValue(L"ProductVersion"), L"");

    CScratchDirectory scratch;
    EXPECT_FALSE(version.Load(scratch / L"missing.exe"));
    ASSERT_TRUE(WriteTextFile(scratch / L"text.exe", "not a program"));
    EXPECT_FALSE(version.Load(scratch / L"text.exe"));

    // A version resource whose fixed record does not carry its signature: the load fails, and
    // nothing of that record, its strings or an earlier load stays.
    std::ifstream in(std::filesystem::path(GetModuleFilePath()), std::ios::binary);
    std::vector<char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    const std::vector<char> signature{'\xBD', '\x04', '\xEF', '\xFE'};
    int spoilt = 0;
    for (auto at = bytes.begin(); (at = std::search(at, bytes.end(), signature.begin(), signature.end())) != bytes.end();
         ++spoilt)
        at = std::fill_n(at, signature.size(), '\x11');
    ASSERT_GT(spoilt, 0);
    const std::wstring spoiltCopy = scratch / L"unsigned.exe";
    std::ofstream(std::filesystem::path(spoiltCopy), std::ios::binary).write(bytes.data(), bytes.size());
    ASSERT_TRUE(version.LoadModule());
    EXPECT_FALSE(version.Load(spoiltCopy));
    EXPECT_EQ(version.Fixed().dwSignature, 0u);
    EXPECT_EQ(version.FileVersion(), VersionQuad{});
    EXPECT_EQ(version.GetValue(L"ProductVersion"), L"");
    EXPECT_EQ(version.Language(), CModuleVersion::kDefaultLanguage);
}

TEST(CModuleVersion, ASecondLoadReplacesTheFirst) {
    CModuleVersion version;
    ASSERT_TRUE(version.LoadModule());
    ASSERT_TRUE(version.LoadModule(L"kernel32.dll"));
    EXPECT_NE(version.ProductVersion(), (VersionQuad{5, 6, 7, 8}));
    EXPECT_NE(version.GetValue(L"ProductVersion"), L"5.6.7.8 (ko)");
}

}  // namespace
