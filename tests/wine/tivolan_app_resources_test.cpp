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
    ASSERT_EQ(identities.size(), 2u);
    EXPECT_EQ(Attribute(identities[0], L"version"), ProjectVersionText());
    EXPECT_EQ(Attribute(identities[1], L"name"), L"Microsoft.Windows.Common-Controls");
    EXPECT_EQ(Attribute(identities[1], L"version"), L"6.0.0.0");
    EXPECT_EQ(Attribute(identities[1], L"publicKeyToken"), L"6595b64144ccf1df");
    EXPECT_EQ(identities[1]->parent->name, L"dependentAssembly");

    const auto levels = All(L"requestedExecutionLevel");
    ASSERT_EQ(levels.size(), 1u);
    EXPECT_EQ(Attribute(levels[0], L"level"), L"asInvoker");
    EXPECT_EQ(Attribute(levels[0], L"uiAccess"), L"false");
}

TEST_F(TivolanManifest, NamesWindows7To11AndPerMonitorDpiAwareness) {
    std::vector<std::wstring> systems;
    for (const CXmlNode* os : All(L"supportedOS"))
        systems.push_back(Attribute(os, L"Id"));
    EXPECT_EQ(systems, (std::vector<std::wstring>{
                           L"{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",  // 7
                           L"{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",  // 8
                           L"{1f676c76-80e1-4239-95bb-83d0f6d0da78}",  // 8.1
                           L"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",  // 10 and 11
                       }));
    const auto awareness = All(L"dpiAwareness");
    ASSERT_EQ(awareness.size(), 1u);
    EXPECT_EQ(awareness[0]->value, L"PerMonitorV2, PerMonitor");
    EXPECT_EQ(Attribute(awareness[0], L"xmlns"), L"http://schemas.microsoft.com/SMI/2016/WindowsSettings");
    const auto aware = All(L"dpiAware");
    ASSERT_EQ(aware.size(), 1u);
    EXPECT_EQ(aware[0]->value, L"true/pm");
    EXPECT_EQ(Attribute(aware[0], L"xmlns"), L"http://schemas.microsoft.com/SMI/2005/WindowsSettings");
}

// The loader read the manifest: this process got the version 6 common controls, which live in their
// side-by-side folder (Wine's copy there still answers 5 to DllGetVersion, so the folder tells).
TEST_F(TivolanManifest, TheProcessGetsTheVersion6CommonControls) {
    const HMODULE controls = GetModuleHandleW(L"comctl32.dll");
    ASSERT_TRUE(controls);
    wchar_t path[MAX_PATH] = {};
    ASSERT_TRUE(GetModuleFileNameW(controls, path, MAX_PATH));
    std::wstring folder = path;
    CharLowerBuffW(folder.data(), static_cast<DWORD>(folder.size()));
    EXPECT_NE(folder.find(L"\\winsxs\\amd64_microsoft.windows.common-controls_6595b64144ccf1df_6."),
              std::wstring::npos)
        << path;
}

}  // namespace
