#include "checker/core/partner_switch.h"

#include <gtest/gtest.h>

#include "checker/core/checker_keys.h"
#include "common/platform/memory_registry.h"
#include "tests/unit/registry_fixtures.h"

namespace {

TEST(PartnerSwitch, OnlyAFourByteDwordOtherThanOneSwitchesItOff) {
    struct Case {
        const char* name;
        std::optional<RegistryValue> value;
        bool on;
    } const cases[] = {
        {"absent", std::nullopt, true},      {"one", DwordValue(1), true},
        {"zero", DwordValue(0), false},      {"two", DwordValue(2), false},
        {"text", StringValue(L"0"), true},   {"short dword", MakeValue(RegistryType::Dword, {0, 0}), true},
        {"qword zero", QwordValue(0), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CMemoryRegistry registry = UserKeyWith(kQuillpackKeyPath, kPartnerSwitchValue, c.value);
        EXPECT_EQ(IsPartnerSwitchOn(registry), c.on);
    }
    CMemoryRegistry noKey;
    EXPECT_TRUE(IsPartnerSwitchOn(noKey));
}

TEST(PartnerSwitch, RecordingDeletesOrWritesZeroInAnExistingKeyOnly) {
    CMemoryRegistry registry;
    registry.CreateKey(RegistryRoot::CurrentUser, kQuillpackKeyPath);
    RecordPartnerSwitch(registry, false);
    EXPECT_EQ(registry.Value(RegistryRoot::CurrentUser, kQuillpackKeyPath, kPartnerSwitchValue),
              DwordValue(0));
    EXPECT_FALSE(IsPartnerSwitchOn(registry));
    RecordPartnerSwitch(registry, true);
    EXPECT_FALSE(
        registry.Value(RegistryRoot::CurrentUser, kQuillpackKeyPath, kPartnerSwitchValue).has_value());
    EXPECT_TRUE(IsPartnerSwitchOn(registry));

    CMemoryRegistry noKey;
    RecordPartnerSwitch(noKey, false);
    EXPECT_FALSE(noKey.KeyExists(RegistryRoot::CurrentUser, kQuillpackKeyPath)) << "the key is not created";
}

}  // namespace
