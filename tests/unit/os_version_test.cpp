#include "scheduler/core/os_version.h"

#include <gtest/gtest.h>

namespace {

TEST(ClassifyOsVersion, EveryRowOfTheTable) {
    const struct {
        uint32_t platform, major, minor;
        const wchar_t* servicePack;
        std::optional<uint32_t> expected;
    } cases[] = {
        {0, 3, 11, L"", 0x10000},     {0, 9, 9, L"", 0x10000},
        {1, 4, 0, L"", 0x20000},      {1, 4, 0, L" A", 0x20000},
        {1, 4, 0, L" B", 0x20001},    {1, 4, 0, L" C", 0x20001},
        {1, 4, 0, L"B", 0x20000},  // the second letter counts, not the first
        {1, 4, 10, L"", 0x20002},     {1, 4, 10, L" B", 0x20002},
        {1, 4, 10, L" A", 0x20003},   {1, 4, 90, L" A", 0x20004},
        {1, 4, 20, L"", 0x20005},     {1, 5, 0, L"", 0x20005},
        {2, 3, 51, L"", 0x40000},     {2, 4, 0, L"Service Pack 6", 0x40001},
        {2, 5, 0, L"", 0x40002},      {2, 5, 1, L"Service Pack 3", 0x40003},
        {2, 5, 2, L"", 0x40004},      {2, 5, 3, L"", 0x40009},
        {2, 6, 0, L"", 0x40005},      {2, 6, 1, L"Service Pack 1", 0x40006},
        {2, 6, 2, L"", 0x40007},      {2, 6, 3, L"", 0x40008},
        {2, 6, 4, L"", 0x40009},      {2, 10, 0, L"", 0x40009},
        {3, 5, 0, L"", std::nullopt}, {99, 6, 1, L"", std::nullopt},
    };
    for (const auto& c : cases) {
        const OsVersionRecord record{c.platform, c.major, c.minor, 1000, c.servicePack};
        EXPECT_EQ(ClassifyOsVersion(record), c.expected)
            << c.platform << " " << c.major << "." << c.minor << " '" << c.servicePack << "'";
    }
}

class ScriptedVersionSource : public IOsVersionSource {
  public:
    std::optional<OsVersionRecord> Query() const override {
        ++queries;
        return answer;
    }
    std::optional<OsVersionRecord> answer;
    mutable int queries = 0;
};

TEST(COsVersionClass, CachesOnlyAKnownAnswer) {
    COsVersionClass versionClass;
    ScriptedVersionSource source;

    EXPECT_EQ(versionClass.Get(source), 0u) << "failed query";
    source.answer = OsVersionRecord{3, 6, 1, 0, L""};
    EXPECT_EQ(versionClass.Get(source), 1u) << "unknown platform, nothing kept";
    EXPECT_EQ(source.queries, 2);

    source.answer = OsVersionRecord{2, 6, 1, 7601, L"Service Pack 1"};
    EXPECT_EQ(versionClass.Get(source), 0x40006u);
    EXPECT_EQ(source.queries, 3);

    for (const auto& later :
         {std::optional<OsVersionRecord>(), std::optional(OsVersionRecord{3, 0, 0, 0, L""}),
          std::optional(OsVersionRecord{2, 5, 0, 0, L""})}) {
        source.answer = later;
        EXPECT_EQ(versionClass.Get(source), 0x40006u);
    }
    EXPECT_EQ(source.queries, 3) << "asked once the code was known";
}

}  // namespace
