#include "common/text/web_address.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct AddressCase {
    const wchar_t* address;
    bool web;
};

class WebAddressTest : public ::testing::TestWithParam<AddressCase> {};

TEST_P(WebAddressTest, OnlyWebPagesWithAHostAreOpened) {
    const AddressCase& c = GetParam();
    EXPECT_EQ(IsWebAddress(c.address), c.web) << c.address;
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
                      AddressCase{L"C:\\Windows\\System32\\calc.exe", false},
                      AddressCase{L"\\\\server\\share\\setup.exe", false},
                      AddressCase{L"ms-settings:windowsupdate", false},
                      AddressCase{L"javascript:alert(1)", false},
                      AddressCase{L"ftp://tivolan.example/setup.exe", false},
                      AddressCase{L" https://tivolan.example/", false},
                      AddressCase{L"httpx://tivolan.example/", false},
                      AddressCase{L"https:tivolan.example", false},
                      // No server named.
                      AddressCase{L"https://", false},
                      AddressCase{L"http:///etc", false},
                      AddressCase{L"https://\\\\server\\share", false},
                      AddressCase{L"http://?q", false},
                      AddressCase{L"", false},
                      // The shell would read what follows a space as arguments.
                      AddressCase{L"https://tivolan.example/a b", false},
                      AddressCase{L"https://tivolan.example/\ta", false},
                      AddressCase{L"https://tivolan.example/\x7f", false}));

TEST(WebAddressNulTest, ANulInsideTheAddressIsRefused) {
    // The shell would open only the part before the NUL, which is not what was checked.
    const std::wstring address(L"https://tivolan.example/\0file:///c:/x.exe", 41);
    EXPECT_FALSE(IsWebAddress(address));
}

}  // namespace
