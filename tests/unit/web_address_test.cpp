#include "common/text/web_address.h"

#include <gtest/gtest.h>

#include "common/browser/browser_navigation.h"

#include <string>

namespace {

// `web`: opened as a link (and so as a page's new window, in the user's browser); `inPlace`: a
// navigation the embedded browser may make in any of its frames.
struct AddressCase {
    const wchar_t* address;
    bool web;
    bool inPlace;
};

class WebAddressTest : public ::testing::TestWithParam<AddressCase> {};

TEST_P(WebAddressTest, OnlyWebPagesWithAHostAreOpened) {
    const AddressCase& c = GetParam();
    EXPECT_EQ(IsWebAddress(c.address), c.web) << c.address;
    EXPECT_EQ(NewWindowActionFor(c.address), c.web ? NewWindowAction::OpenInUserBrowser : NewWindowAction::Drop)
        << c.address;
}

TEST_P(WebAddressTest, TheEmbeddedBrowserGoesOnlyToHttpAndHttps) {
    const AddressCase& c = GetParam();
    EXPECT_EQ(MayNavigateInPlace(c.address), c.inPlace) << c.address;
}

INSTANTIATE_TEST_SUITE_P(
    Addresses,
    WebAddressTest,
    ::testing::Values(AddressCase{L"https://tivolan.example/download/setup.exe", true, true},
                      AddressCase{L"http://tivolan.example:8080/a?b=c#d", true, true},
                      AddressCase{L"HTTPS://Tivolan.Example/", true, true},
                      AddressCase{L"hTtP://x", true, true},
                      // Programs, shares and other protocol handlers would run something.
                      AddressCase{L"file:///C:/Windows/System32/calc.exe", false, false},
                      AddressCase{L"FILE://server/share/setup.exe", false, false},
                      AddressCase{L"C:\\Windows\\System32\\calc.exe", false, false},
                      AddressCase{L"\\\\server\\share\\setup.exe", false, false},
                      AddressCase{L"ms-settings:windowsupdate", false, false},
                      AddressCase{L"mailto:someone@tivolan.example", false, false},
                      AddressCase{L"javascript:alert(1)", false, false},
                      AddressCase{L"JavaScript:alert(1)", false, false},
                      // The browser's own pages and resources.
                      AddressCase{L"about:blank", false, false},
                      AddressCase{L"res://ieframe.dll/navcancl.htm", false, false},
                      AddressCase{L"ftp://tivolan.example/setup.exe", false, false},
                      // Blanks and controls before the scheme, which the browser would skip.
                      AddressCase{L" https://tivolan.example/", false, false},
                      AddressCase{L" javascript:alert(1)", false, false},
                      AddressCase{L"\x01javascript:alert(1)", false, false},
                      AddressCase{L"\thttps://tivolan.example/", false, false},
                      AddressCase{L"ht\ttp://tivolan.example/", false, false},
                      AddressCase{L"httpx://tivolan.example/", false, false},
                      AddressCase{L"https:tivolan.example", false, true},
                      // No server named: nothing the shell should get, harmless for the browser.
                      AddressCase{L"https://", false, true},
                      AddressCase{L"http:///etc", false, true},
                      AddressCase{L"https://\\\\server\\share", false, true},
                      AddressCase{L"http://?q", false, true},
                      AddressCase{L"", false, false},
                      // The shell would read what follows a space as arguments; a page's own
                      // address may hold one.
                      AddressCase{L"https://tivolan.example/a b", false, true},
                      // A control character anywhere is refused by both.
                      AddressCase{L"https://tivolan.example/\ta", false, false},
                      AddressCase{L"https://tivolan.example/\nfile:///C:/x", false, false},
                      AddressCase{L"https://tivolan.example/\x7f", false, false},
                      // The embedded browser refuses the C1 controls as well.
                      AddressCase{L"https://tivolan.example/\x85", true, false}));

TEST(WebAddressNulTest, ANulInsideTheAddressIsRefused) {
    // The shell would open only the part before the NUL, which is not what was checked.
    const std::wstring address(L"https://tivolan.example/\0file:///c:/x.exe", 41);
    EXPECT_FALSE(IsWebAddress(address));
    EXPECT_FALSE(MayNavigateInPlace(address));
}

}  // namespace
