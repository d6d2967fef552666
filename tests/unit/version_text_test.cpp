#include "common/version/version_text.h"

#include <gtest/gtest.h>

namespace {

TEST(StringFileInfoPath, UsesFourLowerCaseHexDigitsEach) {
    EXPECT_EQ(StringFileInfoPath(0x0409, 0x04B0, L"ProductVersion"),
              L"\\StringFileInfo\\040904b0\\ProductVersion");
    EXPECT_EQ(StringFileInfoPath(0x0412, 949, L"CompanyName"), L"\\StringFileInfo\\041203b5\\CompanyName");
    EXPECT_EQ(StringFileInfoPath(0, 0, L""), L"\\StringFileInfo\\00000000\\");
    EXPECT_EQ(StringFileInfoPath(0xFFFF, 0xABCD, L"x"), L"\\StringFileInfo\\ffffabcd\\x");
}

TEST(VersionQuad, SplitsTheTwoWords) {
    const VersionQuad v = VersionQuad::FromWords(0x00020003, 0x0004FFFF);
    EXPECT_EQ(v, (VersionQuad{2, 3, 4, 65535}));
    EXPECT_EQ(FormatVersionQuad(v), L"2.3.4.65535");
    EXPECT_EQ(FormatVersionQuad(VersionQuad::FromWords(0xFFFF0000, 0)), L"65535.0.0.0");
}

}  // namespace
