// What only Tivolan.exe carries (scheduler/res/app.rc), linked into this executable: the version
// resource read back as the update check reads it, and the application manifest, both in its text
// and in its effect on the process (the version 6 common controls).
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "common/version/module_version.h"
#include "common/xml/xml_node.h"
#include "tests/wine/manifest_fixture.h"

namespace {

// The CMake project's version ("1.2.3", parts it leaves out are 0), handed over by the build.
VersionQuad ProjectVersion() {
    uint16_t parts[4] = {};
    const char* text = QP_PROJECT_VERSION;
    for (uint16_t& part : parts) {
        char* end = nullptr;
        part = static_cast<uint16_t>(std::strtoul(text, &end, 10));
        if (*end != '.')
            break;
        text = end + 1;
    }
    return VersionQuad{parts[0], parts[1], parts[2], parts[3]};
}

std::wstring ProjectVersionText() {
    return FormatVersionQuad(ProjectVersion());
}

TEST(TivolanVersionResource, NumbersAndNamesReadBackAsTheUpdateCheckReadsThem) {
    CModuleVersion version;
    ASSERT_TRUE(version.LoadModule());
    EXPECT_EQ(version.FileVersion(), ProjectVersion());
    EXPECT_EQ(version.ProductVersion(), ProjectVersion());
    EXPECT_EQ(version.Fixed().dwFileType, static_cast<DWORD>(VFT_APP));
    EXPECT_EQ(version.Language(), 0);
    EXPECT_EQ(version.CodePage(), 1200);
    const std::pair<const wchar_t*, std::wstring> values[] = {
        {L"ProductVersion", ProjectVersionText()},
        {L"FileVersion", ProjectVersionText()},
        {L"CompanyName", L"Merrowin"},
        {L"FileDescription", L"Tivolan"},
        {L"ProductName", L"Tivolan"},
        {L"InternalName", L"Tivolan"},
        {L"OriginalFilename", L"Tivolan.exe"},
        {L"LegalCopyright", L"Copyright \u00A9 2026 Merrowin"},
    };
    for (const auto& [name, expected] : values)
        EXPECT_EQ(version.GetValue(name), expected) << name;
}

class TivolanManifest : public ManifestFixture {};

TEST_F(TivolanManifest, AsksForTheVersion6CommonControlsAndRunsAsInvoker) {
    const auto identities = All(L"assemblyIdentity");
    ASSERT_FALSE(identities.empty());
    EXPECT_EQ(Attribute(identities[0], L"version"), ProjectVersionText());
    ExpectCommonControls6AsInvoker();
}

TEST_F(TivolanManifest, NamesWindows7To11AndPerMonitorDpiAwareness) {
    ExpectWindows7To11AndPerMonitorAwareness();
}

TEST_F(TivolanManifest, TheProcessGetsTheVersion6CommonControls) {
    ExpectVersion6CommonControlsLoaded();
}

}  // namespace
