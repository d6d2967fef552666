#include "checker/checker_endpoints.h"

#include <gtest/gtest.h>

#include "checker/checker_keys.h"
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

TEST(EndpointAddress, JoinsBaseAndPathWithOneSlash) {
    EXPECT_EQ(EndpointAddress(L"http://host", kPrimaryVersionPath), L"http://host/download/version.php");
    EXPECT_EQ(EndpointAddress(L"http://host/", kInstallReportPath), L"http://host/log/inst.php");
    EXPECT_EQ(EndpointAddress(L"http://fb.example/~q", kFallbackVersionPath),
              L"http://fb.example/~q/codec/version.php");
    EXPECT_EQ(EndpointAddress(L"", kInstallReportPath), L"/log/inst.php");
}

}  // namespace
