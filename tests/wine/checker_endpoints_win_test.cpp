// The checker's endpoints as the running program reads them: the compiled-in bases, replaced by the
// current user's overrides in the real registry.

#include <windows.h>

#include <gtest/gtest.h>

#include "checker/core/checker_endpoints_win.h"
#include "checker/core/checker_keys.h"

namespace {

class CheckerEndpointsWinTest : public ::testing::Test {
  protected:
    void SetUp() override { ::RegDeleteTreeW(HKEY_CURRENT_USER, kCheckerStateKeyPath); }
    void TearDown() override { ::RegDeleteTreeW(HKEY_CURRENT_USER, kCheckerStateKeyPath); }

    static void SetOverride(const wchar_t* name, const std::wstring& base) {
        ASSERT_EQ(::RegSetKeyValueW(HKEY_CURRENT_USER, kCheckerStateKeyPath, name, REG_SZ, base.c_str(),
                                    static_cast<DWORD>((base.size() + 1) * sizeof(wchar_t))),
                  ERROR_SUCCESS);
    }
};

TEST_F(CheckerEndpointsWinTest, CompiledBasesArePlainHttpAndOverridesReplaceThem) {
    const CheckerEndpoints compiled = CompiledCheckerEndpoints();
    EXPECT_EQ(compiled.primary.rfind(L"http://", 0), 0u) << "the primary endpoint is plain HTTP on port 80";
    EXPECT_EQ(compiled.fallback.rfind(L"http://", 0), 0u);
    EXPECT_NE(compiled.primary, compiled.fallback);
    EXPECT_EQ(CurrentCheckerEndpoints(), compiled);

    SetOverride(kServerValue, L"http://127.0.0.1:8123");
    EXPECT_EQ(CurrentCheckerEndpoints(), (CheckerEndpoints{L"http://127.0.0.1:8123", compiled.fallback}));
    SetOverride(kFallbackServerValue, L"http://127.0.0.1:8124/~q");
    EXPECT_EQ(CurrentCheckerEndpoints(),
              (CheckerEndpoints{L"http://127.0.0.1:8123", L"http://127.0.0.1:8124/~q"}));
}

}  // namespace
