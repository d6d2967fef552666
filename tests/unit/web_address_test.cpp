#include "common/text/web_address.h"

#include <gtest/gtest.h>

#include "common/browser/browser_navigation.h"

#include <string>

namespace {

// `web`: opened as a link or a page's new window; `inPlace`: followed in any frame (as `web` unless given).
struct AddressCase {
    const wchar_t* address;
    bool web;
    bool inPlace = web;
};

class WebAddressTest : public ::testing::TestWithParam<AddressCase> {};

TEST_P(WebAddressTest, OnlyWebPagesWithAHostAreOpenedAndOnlyHttpAndHttpsInPlace) {
    using enum NewWindowAction;
    const AddressCase& c = GetParam();
    EXPECT_EQ(IsWebAddress(c.address), c.web) << c.address;
    EXPECT_EQ(NewWindowActionFor(c.address), c.web ? OpenInUserBrowser : Drop) << c.address;
    EXPECT_EQ(MayNavigateInPlace(c.address), c.inPlace) << c.address;
}

INSTANTIATE_TEST_SUITE_P(
    Addresses,
    WebAddressTest,
    ::testing::Values(AddressCase{L"https://tivolan.example/download/setup.exe", true},
                      AddressCase{L"http://tivolan.example:8080/a?b=c#d", true},
                      AddressCase{L"HTTPS://Tivolan.Example/", true},
                      AddressCase{L"hTtP://x", true},
                      // Programs, shares and other protocol handlers would run something.
                      AddressCase{L"file:///C:/Windows/System32/calc.exe", false},
                      AddressCase{L"FILE://server/share/setup.exe", false},
                      AddressCase{L"C:\\Windows\\System32\\calc.exe", false},
                      AddressCase{L"\\\\server\\share\\setup.exe", false},
                      AddressCase{L"ms-settings:windowsupdate", false},
                      AddressCase{L"mailto:someone@tivolan.example", false},
                      AddressCase{L"javascript:alert(1)", false},
                      AddressCase{L"JavaScript:alert(1)", false},
                      // The browser's own pages and resources.
                      AddressCase{L"about:blank", false},
                      AddressCase{L"res://ieframe.dll/navcancl.htm", false},
                      AddressCase{L"ftp://tivolan.example/setup.exe", false},
                      // Blanks and controls before the scheme, which the browser would skip.
                      AddressCase{L" https://tivolan.example/", false},
                      AddressCase{L" javascript:alert(1)", false},
                      AddressCase{L"\x01javascript:alert(1)", false},
                      AddressCase{L"\thttps://tivolan.example/", false},
                      AddressCase{L"ht\ttp://tivolan.example/", false},
                      AddressCase{L"httpx://tivolan.example/", false},
                      AddressCase{L"https:tivolan.example", false, true},
                      // No server named.
                      AddressCase{L"https://", false, true},  // nothing for the shell, harmless in place
                      AddressCase{L"http:///etc", false, true},
                      AddressCase{L"https://\\\\server\\share", false, true},
                      AddressCase{L"http://?q", false, true},
                      AddressCase{L"", false},
                      // The shell would read what follows a space as arguments.
                      AddressCase{L"https://tivolan.example/a b", false, true},  // a page's own may hold one
                      // A control character anywhere is refused by both, the C1 ones by the browser.
                      AddressCase{L"https://tivolan.example/\ta", false},
                      AddressCase{L"https://tivolan.example/\nfile:///C:/x", false},
                      AddressCase{L"https://tivolan.example/\x7f", false},
                      AddressCase{L"https://tivolan.example/\x85", true, false}));

TEST(WebAddressNulTest, ANulInsideTheAddressIsRefused) {
    // The shell would open only the part before the NUL, which is not what was checked.
    const std::wstring address(L"https://tivolan.example/\0file:///c:/x.exe", 41);
    EXPECT_FALSE(IsWebAddress(address));
    EXPECT_FALSE(MayNavigateInPlace(address));
}

}  // namespace
