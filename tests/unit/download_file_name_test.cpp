#include "checker/core/download_file_name.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

TEST(DownloadFileName, TakesTheTextAfterTheLastSlashOnlyWhenItIsASafeName) {
    struct Case {
        std::wstring url;
        std::optional<std::wstring> name;
    } const cases[] = {
        {L"http://dl.example/qp/QPSetup_1.2.exe", L"QPSetup_1.2.exe"},
        {L"QPSetup_1.2.exe", L"QPSetup_1.2.exe"},      // no slash: the whole text
        {L"https://dl.example/a%2F..", std::nullopt},  // not decoded; the system would drop its dots
        {L"http://dl.example/%2e%2e", L"%2e%2e"},
        {L"http://dl.example/a%2F..%2Fevil.exe", L"a%2F..%2Fevil.exe"},
        {L"http://dl.example/..%5Cevil.exe", L"..%5Cevil.exe"},
        {L"http://dl.example/setup v2.exe", L"setup v2.exe"},
        {L"http://dl.example/.hidden", L".hidden"},
        {L"http://dl.example/con.d/setup.exe", L"setup.exe"},
        {L"http://dl.example/console.exe", L"console.exe"},
        {L"http://dl.example/com10.exe", L"com10.exe"},
        {L"http://dl.example/\u00E9t\u00E9.exe", L"\u00E9t\u00E9.exe"},
        // Unsafe: nothing.
        {L"http://dl.example/", std::nullopt},
        {L"", std::nullopt},
        {L"http://dl.example/.", std::nullopt},
        {L"http://dl.example/..", std::nullopt},
        {L"http://dl.example/..\\..\\evil.exe", std::nullopt},
        {L"..\\..\\evil.exe", std::nullopt},
        {L"http://dl.example/C:evil.exe", std::nullopt},
        {L"http://dl.example/setup.exe:stream", std::nullopt},
        {L"http://dl.example/setup.exe?v=2", std::nullopt},
        {L"http://dl.example/get.php?file=a/setup.exe", L"setup.exe"},  // the query's own slash decides
        {L"http://dl.example/s*.exe", std::nullopt},
        {L"http://dl.example/\"setup\".exe", std::nullopt},
        {L"http://dl.example/a<b>.exe", std::nullopt},
        {L"http://dl.example/a|b.exe", std::nullopt},
        {L"http://dl.example/setup\t.exe", std::nullopt},
        {L"http://dl.example/setup\r\n.exe", std::nullopt},
        {std::wstring(L"http://dl.example/set\0up.exe", 28), std::nullopt},
        {L"http://dl.example/setup\x7F.exe", std::nullopt},
        {L"http://dl.example/setup.exe.", std::nullopt},
        {L"http://dl.example/setup.exe ", std::nullopt},
        {L"http://dl.example/...", std::nullopt},
        {L"http://dl.example/NUL", std::nullopt},
        {L"http://dl.example/nul.exe", std::nullopt},
        {L"http://dl.example/Con", std::nullopt},
        {L"http://dl.example/aux.tar.gz", std::nullopt},
        {L"http://dl.example/prn .exe", std::nullopt},
        {L"http://dl.example/COM1.exe", std::nullopt},
        {L"http://dl.example/lpt9", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.url));
        EXPECT_EQ(DownloadFileName(c.url), c.name);
    }
    // Device names, with a superscript digit or the console's own too, and names that only look like one.
    const std::pair<std::wstring, bool> names[] = {
        {L"com\u2074.exe", true} /* only one to three have superscripts */, {L"lpt\u00B9\u00B9", true},
        {L"conin.exe", true}, {L"conout$$.exe", true}, {L"x.conin$", true}, {L"COM\u00B9", false},
        {L"com\u00B2.exe", false}, {L"Com\u00B3 .msi", false}, {L"LPT\u00B9.exe", false}, {L"lpt\u00B2", false},
        {L"lPt\u00B3  .tar.gz", false}, {L"CONIN$", false}, {L"conin$.exe", false}, {L"ConIn$ .exe", false},
        {L"CONOUT$", false}, {L"conout$.txt.exe", false}, {L"conout$   .exe", false},
    };
    for (const auto& [name, safe] : names) {
        SCOPED_TRACE(testing::PrintToString(name));
        const std::optional<std::wstring> expected = safe ? std::optional(name) : std::nullopt;
        EXPECT_EQ(DownloadFileName(L"http://dl.example/" + name), expected);
    }
}

TEST(DownloadFilePath, JoinsTheFolderAndASafeNameOrGivesNothing) {
    EXPECT_EQ(DownloadFilePath(L"C:\\T\\QPCHKUPD 1F", L"http://dl.example/QPSetup.exe"),
              L"C:\\T\\QPCHKUPD 1F\\QPSetup.exe");
    EXPECT_EQ(DownloadFilePath(L"C:\\T\\QPCHKUPD 1F", L"http://dl.example/..\\evil.exe"), L"");
    EXPECT_EQ(DownloadFilePath(L"C:\\T\\QPCHKUPD 1F", L"http://dl.example/"), L"");
    // Without a folder the name alone would land in the current directory.
    EXPECT_EQ(DownloadFilePath(L"", L"http://dl.example/QPSetup.exe"), L"");
}

}  // namespace
