#include "checker/core/checker_endpoints.h"

#include <gtest/gtest.h>

#include "checker/core/checker_keys.h"
#include "checker/core/installer_trust.h"
#include "common/http/endpoint_override.h"
#include "common/platform/memory_registry.h"
#include "tests/unit/registry_fixtures.h"

namespace {

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
        CMemoryRegistry registry;
        registry.CreateKey(RegistryRoot::CurrentUser, kCheckerStateKeyPath);
        if (c.server)
            registry.SetValue(RegistryRoot::CurrentUser, kCheckerStateKeyPath, kServerValue, *c.server);
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

// REG_MULTI_SZ data: each name with its null; `close` adds the empty name that ends the list.
RegistryValue MultiString(std::initializer_list<std::wstring_view> names, bool close = true) {
    std::vector<uint8_t> bytes;
    for (std::wstring_view name : names)
        for (uint8_t b : EncodeRegistryString(name))
            bytes.push_back(b);
    if (close)
        bytes.insert(bytes.end(), {0, 0});
    return MakeValue(RegistryType::MultiString, bytes);
}

TEST(TrustedPublishers, AMultiStringWithANameReplacesTheCompiledList) {
    const std::vector<std::wstring> compiled = {L"Merrowin"};
    struct Case {
        const char* name;
        std::optional<RegistryValue> value;
        std::vector<std::wstring> expected;
    };
    RegistryValue unclosed = MultiString({L"Ünïcode Ltd", L"B"}, false);
    unclosed.data.resize(unclosed.data.size() - 2);  // the last name's null lost too
    RegistryValue oddLength = MultiString({L"Odd"});
    oddLength.data.push_back(0x41);
    const Case cases[] = {
        {"none", std::nullopt, compiled},
        {"two names", MultiString({L"Merrowin", L"Merrowin Test CA"}), {L"Merrowin", L"Merrowin Test CA"}},
        {"empty names are dropped", MultiString({L"", L"Only", L""}), {L"Only"}},
        {"no name at all", MultiString({}), compiled},
        {"only empty names", MultiString({L"", L""}), compiled},
        {"a last name without its null", unclosed, {L"Ünïcode Ltd", L"B"}},
        {"half a unit at the end", oddLength, {L"Odd"}},
        {"a plain string is no list", StringValue(L"Evil Corp"), compiled},
        {"a number", DwordValue(1), compiled},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CMemoryRegistry registry;
        registry.CreateKey(RegistryRoot::CurrentUser, kCheckerStateKeyPath);
        if (c.value)
            registry.SetValue(RegistryRoot::CurrentUser, kCheckerStateKeyPath, kTrustedPublishersValue, *c.value);
        EXPECT_EQ(ReadTrustedPublishers(registry, compiled), c.expected);
    }
    // Machine-wide or another program's values are not the user's choice of the checker.
    CMemoryRegistry other;
    other.SetValue(RegistryRoot::LocalMachine, kCheckerStateKeyPath, kTrustedPublishersValue, MultiString({L"X"}));
    other.SetValue(RegistryRoot::CurrentUser, L"Software\\Tivolan", kTrustedPublishersValue, MultiString({L"Y"}));
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
