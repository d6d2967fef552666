#include "checker/core/checker_endpoints.h"

#include <gtest/gtest.h>

#include "checker/core/checker_keys.h"
#include "checker/core/installer_trust.h"
#include "common/http/endpoint_override.h"
#include "common/platform/memory_registry.h"
#include "tests/unit/registry_fixtures.h"

namespace {

using namespace std::string_view_literals;

const CheckerEndpoints kCompiled{L"http://update.quillpack.example", L"http://fallback.example/~quillpack"};

TEST(CheckerEndpoints, EachNonEmptyStringOverridesItsOwnBase) {
    struct Case {
        const char* name;
        std::optional<RegistryValue> server;
        std::optional<RegistryValue> fallback;
        CheckerEndpoints expected;
    };
    const Case cases[] = {
        {"none", std::nullopt, std::nullopt, kCompiled},
        {"primary only",
         StringValue(L"http://127.0.0.1:8080"),
         std::nullopt,
         {L"http://127.0.0.1:8080", kCompiled.fallback}},
        {"fallback only",
         std::nullopt,
         StringValue(L"http://127.0.0.1:9/~me"),
         {kCompiled.primary, L"http://127.0.0.1:9/~me"}},
        {"empty texts", StringValue(L""), StringValue(L""), kCompiled},
        {"not strings", DwordValue(1), MakeValue(RegistryType::Binary, {'h', 0, 't', 0}), kCompiled},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CMemoryRegistry registry = UserKeyWith(kCheckerStateKeyPath, kServerValue, c.server);
        if (c.fallback)
            registry.SetValue(RegistryRoot::CurrentUser, kCheckerStateKeyPath, kFallbackServerValue,
                              *c.fallback);
        EXPECT_EQ(ReadCheckerEndpoints(registry, kCompiled), c.expected);
    }
    CMemoryRegistry noKey;
    EXPECT_EQ(ReadCheckerEndpoints(noKey, kCompiled), kCompiled);

    // The same values under another program's key are not the checker's.
    CMemoryRegistry other;
    other.SetValue(RegistryRoot::CurrentUser, L"Software\\Tivolan", kServerValue, StringValue(L"http://x"));
    other.SetValue(RegistryRoot::LocalMachine, kCheckerStateKeyPath, kServerValue, StringValue(L"http://y"));
    EXPECT_EQ(ReadCheckerEndpoints(other, kCompiled), kCompiled);
}

// REG_MULTI_SZ data, byte for byte: `units` (names apart by nulls) in UTF-16, then `tail`.
RegistryValue MultiString(std::wstring_view units, std::initializer_list<uint8_t> tail = {0, 0}) {
    std::vector<uint8_t> bytes = EncodeRegistryString(units);
    bytes.resize(bytes.size() - 2);  // without the encoder's own null
    bytes.insert(bytes.end(), tail);
    return MakeValue(RegistryType::MultiString, bytes);
}

TEST(TrustedPublishers, AMultiStringWithANameReplacesTheCompiledList) {
    const std::vector<std::wstring> compiled = {L"Merrowin"};
    const struct {
        const char* name;
        std::optional<RegistryValue> value;
        std::vector<std::wstring> expected;
    } cases[] = {
        {"none", std::nullopt, compiled},
        {"two names", MultiString(L"Merrowin\0Merrowin Test CA\0"sv), {L"Merrowin", L"Merrowin Test CA"}},
        {"empty names are dropped", MultiString(L"\0Only\0\0"sv), {L"Only"}},
        {"no name at all", MultiString(L""sv), compiled},
        {"only empty names", MultiString(L"\0\0"sv), compiled},
        {"a last name without its null", MultiString(L"Ünïcode Ltd\0B"sv, {}), {L"Ünïcode Ltd", L"B"}},
        {"half a unit at the end", MultiString(L"Odd\0"sv, {0, 0, 0x41}), {L"Odd"}},
        {"a plain string is no list", StringValue(L"Evil Corp"), compiled},
        {"a number", DwordValue(1), compiled},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CMemoryRegistry registry = UserKeyWith(kCheckerStateKeyPath, kTrustedPublishersValue, c.value);
        EXPECT_EQ(ReadTrustedPublishers(registry, compiled), c.expected);
    }
    // Machine-wide or another program's values are not the user's choice of the checker.
    CMemoryRegistry other;
    other.SetValue(RegistryRoot::LocalMachine, kCheckerStateKeyPath, kTrustedPublishersValue, MultiString(L"X\0"sv));
    other.SetValue(RegistryRoot::CurrentUser, L"Software\\Tivolan", kTrustedPublishersValue, MultiString(L"Y\0"sv));
    EXPECT_EQ(ReadTrustedPublishers(other, compiled), compiled);
}

TEST(TrustedPublishers, OnlyTheExactNameOfAListedSignerIsTrusted) {
    const std::vector<std::wstring> publishers = {L"Merrowin", L"Merrowin Test"};
    EXPECT_TRUE(IsTrustedPublisher(L"Merrowin", publishers));
    EXPECT_TRUE(IsTrustedPublisher(L"Merrowin Test", publishers));
    for (std::wstring_view signer : {L"merrowin", L"Merrowin ", L"Merrowin Ltd", L"Merrow", L""})
        EXPECT_FALSE(IsTrustedPublisher(signer, publishers)) << testing::PrintToString(std::wstring(signer));
    EXPECT_FALSE(IsTrustedPublisher(L"", {L""}));
}

TEST(TrustedPublishers, OnlyExeAndMsiFilesAreStarted) {
    const std::pair<std::wstring_view, bool> cases[] = {
        {L"QPSetup.exe", true}, {L"setup.EXE", true}, {L"pack.Msi", true},   {L"a.exe", true},
        {L".exe", false},       {L"exe", false},      {L"setup.url", false}, {L"setup.lnk", false},
        {L"setup.exe.lnk", false}, {L"setup.scr", false}, {L"setup.bat", false}, {L"setupexe", false},
        {L"setup.exe.", false}, {L"", false},
    };
    for (const auto& [name, launchable] : cases)
        EXPECT_EQ(IsLaunchableInstallerName(name), launchable) << testing::PrintToString(std::wstring(name));
}

TEST(EndpointAddress, JoinsBaseAndPathWithOneSlash) {
    EXPECT_EQ(EndpointAddress(L"http://host", kPrimaryVersionPath), L"http://host/download/version.php");
    EXPECT_EQ(EndpointAddress(L"http://host/", kInstallReportPath), L"http://host/log/inst.php");
    EXPECT_EQ(EndpointAddress(L"http://fb.example/~q", kFallbackVersionPath),
              L"http://fb.example/~q/codec/version.php");
    EXPECT_EQ(EndpointAddress(L"", kInstallReportPath), L"/log/inst.php");
}

}  // namespace
