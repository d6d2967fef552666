#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "common/platform/memory_registry.h"
#include "scheduler/core/update_check.h"
#include "scheduler/core/update_request.h"
#include "tests/unit/registry_fixtures.h"
#include "tests/unit/scheduler_fakes.h"

namespace {

using scheduler_test::FakeClock;
using scheduler_test::Utc;

// Answers the addresses it was given and fails every other; records what was asked.
class FakeFetcher : public IUpdateFetcher {
  public:
    std::map<std::wstring, std::wstring> answers;
    std::vector<std::wstring> requested;

    std::optional<std::wstring> Fetch(const std::wstring& url) override {
        requested.push_back(url);
        const auto found = answers.find(url);
        if (found == answers.end())
            return std::nullopt;
        return found->second;
    }
};

constexpr wchar_t kPrimaryUrl[] = L"http://up.example/tivolan/version.php?version=1.2.3.0&lang=el&syslang=de";
constexpr wchar_t kFallbackUrl[] =
    L"http://back.example/~t/tivolan/version.php?version=1.2.3.0&lang=el&syslang=de";

class UpdateCheckTest : public testing::Test {
  protected:
    UpdateCheckTest() : check(clock, fetcher) {
        check.version = L"1.2.3.0";
        check.lang = L"el";
        check.systemLanguage = L"de";
        check.endpoints = {L"http://up.example", L"http://back.example/~t"};
    }

    FakeClock clock;  // Central European time
    FakeFetcher fetcher;
    CUpdateCheck check;
};

TEST_F(UpdateCheckTest, ThePrimaryAnswerIsKeptWithTheStartOfTheCheck) {
    fetcher.answers[kPrimaryUrl] = L"<version/>";
    check.lastCheck = 0;
    EXPECT_EQ(check.Check(false), UpdateOutcome::Loaded);
    EXPECT_EQ(fetcher.requested, std::vector<std::wstring>{kPrimaryUrl});
    EXPECT_EQ(check.response, L"<version/>");
    EXPECT_EQ(check.lastCheck, clock.now);
}

TEST_F(UpdateCheckTest, AFailedPrimaryAsksTheFallbackTheSameQuery) {
    fetcher.answers[kFallbackUrl] = L"<version current=\"9\"/>";
    EXPECT_EQ(check.Check(false), UpdateOutcome::Loaded);
    EXPECT_EQ(fetcher.requested, (std::vector<std::wstring>{kPrimaryUrl, kFallbackUrl}));
    EXPECT_EQ(check.response, L"<version current=\"9\"/>");
}

TEST_F(UpdateCheckTest, BothFailingKeepsTheOldAnswerAndTime) {
    check.response = L"earlier";
    check.lastCheck = Utc(2024, 6, 1);
    EXPECT_EQ(check.Check(true), UpdateOutcome::Failed);
    EXPECT_EQ(fetcher.requested.size(), 2u);
    EXPECT_EQ(check.response, L"earlier");
    EXPECT_EQ(check.lastCheck, Utc(2024, 6, 1));
}

TEST_F(UpdateCheckTest, NoVersionSendsNoRequest) {
    check.version.clear();
    fetcher.answers[kPrimaryUrl] = L"<version/>";
    EXPECT_EQ(check.Check(false), UpdateOutcome::NoVersion);
    EXPECT_EQ(check.Check(true), UpdateOutcome::NoVersion);
    EXPECT_TRUE(fetcher.requested.empty());
}

TEST_F(UpdateCheckTest, TheDailyGateFollowsTheLocalCalendarDate) {
    fetcher.answers[kPrimaryUrl] = L"<version/>";
    const struct {
        int64_t lastCheck;
        int64_t now;
        UpdateOutcome expected;
    } cases[] = {
        // 23:59:59 and 00:00:00 local (UTC+2 in summer) lie on different dates...
        {Utc(2024, 6, 10, 21, 59, 59), Utc(2024, 6, 10, 22, 0, 0), UpdateOutcome::Loaded},
        // ...while 00:00:00 and 23:59:59 of one local date do not, though UTC dates differ.
        {Utc(2024, 6, 10, 22, 0, 0), Utc(2024, 6, 11, 21, 59, 59), UpdateOutcome::Skipped},
        {Utc(2024, 6, 11, 8, 0, 0), Utc(2024, 6, 11, 8, 0, 1), UpdateOutcome::Skipped},
        // The same day a year, or a month, earlier is another date.
        {Utc(2023, 6, 11, 8), Utc(2024, 6, 11, 8), UpdateOutcome::Loaded},
        {Utc(2024, 5, 11, 8), Utc(2024, 6, 11, 8), UpdateOutcome::Loaded},
        // A clock set back before the last check still checks on another date.
        {Utc(2024, 6, 12, 8), Utc(2024, 6, 11, 8), UpdateOutcome::Loaded},
        // Winter (UTC+1): 23:30 UTC is already the next local day.
        {Utc(2024, 1, 15, 22, 0), Utc(2024, 1, 15, 23, 30), UpdateOutcome::Loaded},
    };
    for (const auto& c : cases) {
        check.lastCheck = c.lastCheck;
        clock.now = c.now;
        EXPECT_EQ(check.Check(false), c.expected) << c.lastCheck << " then " << c.now;
        EXPECT_EQ(check.lastCheck, c.expected == UpdateOutcome::Loaded ? c.now : c.lastCheck);
        // The user's own check ignores the gate.
        check.lastCheck = c.lastCheck;
        EXPECT_EQ(check.Check(true), UpdateOutcome::Loaded);
    }
}

TEST_F(UpdateCheckTest, ATimeWithoutCalendarNeverMatches) {
    fetcher.answers[kPrimaryUrl] = L"<version/>";
    check.lastCheck = clock.now;
    clock.failToLocal = true;
    EXPECT_EQ(check.Check(false), UpdateOutcome::Loaded);
    EXPECT_FALSE(IsSameLocalDate(clock, clock.now, clock.now));
    clock.failToLocal = false;
    EXPECT_TRUE(IsSameLocalDate(clock, clock.now, clock.now));
    EXPECT_FALSE(IsSameLocalDate(clock, clock.now, -1));
}

TEST_F(UpdateCheckTest, ASecondCheckTheSameDayIsSkippedWithoutARequest) {
    fetcher.answers[kPrimaryUrl] = L"<version/>";
    ASSERT_EQ(check.Check(false), UpdateOutcome::Loaded);
    clock.now += 3600;
    EXPECT_EQ(check.Check(false), UpdateOutcome::Skipped);
    EXPECT_EQ(fetcher.requested.size(), 1u);
}

TEST_F(UpdateCheckTest, AnEmptyEndpointIsNotAsked) {
    check.endpoints.primary.clear();
    fetcher.answers[kFallbackUrl] = L"x";
    EXPECT_EQ(check.Check(true), UpdateOutcome::Loaded);
    EXPECT_EQ(fetcher.requested, std::vector<std::wstring>{kFallbackUrl});
}

TEST(BuildUpdateUrlTest, AppendsThePathAndQueryToTheBase) {
    EXPECT_EQ(BuildUpdateUrl(L"http://h.example", L"1.0", L"en", L"ko"),
              L"http://h.example/tivolan/version.php?version=1.0&lang=en&syslang=ko");
    EXPECT_EQ(BuildUpdateUrl(L"http://h.example:8080/~user/", L"2", L"", L""),
              L"http://h.example:8080/~user/tivolan/version.php?version=2&lang=&syslang=");
}

TEST(ReadUpdateEndpointsTest, NonEmptyTextsOverrideEachDefaultOnItsOwn) {
    const UpdateEndpoints defaults{L"http://primary.example", L"http://fallback.example/~t"};
    const struct {
        std::optional<RegistryValue> primary;
        std::optional<RegistryValue> fallback;
        UpdateEndpoints expected;
    } cases[] = {
        {std::nullopt, std::nullopt, defaults},
        {StringValue(L"http://127.0.0.1:8000/p"),
         std::nullopt,
         {L"http://127.0.0.1:8000/p", L"http://fallback.example/~t"}},
        {std::nullopt,
         StringValue(L"http://127.0.0.1:8000/f"),
         {L"http://primary.example", L"http://127.0.0.1:8000/f"}},
        {StringValue(L""),
         StringValue(L"https://s.example"),
         {L"http://primary.example", L"https://s.example"}},
        {DwordValue(1), QwordValue(2), defaults},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        CMemoryRegistry registry;
        registry.CreateKey(RegistryRoot::CurrentUser, kSettingsKeyPath);
        if (cases[i].primary)
            registry.SetValue(RegistryRoot::CurrentUser, kSettingsKeyPath, kUpdateServerValue,
                              *cases[i].primary);
        if (cases[i].fallback)
            registry.SetValue(RegistryRoot::CurrentUser, kSettingsKeyPath, kUpdateFallbackServerValue,
                              *cases[i].fallback);
        EXPECT_EQ(ReadUpdateEndpoints(registry, defaults), cases[i].expected) << "case " << i;
    }
    CMemoryRegistry empty;
    EXPECT_EQ(ReadUpdateEndpoints(empty, defaults), defaults);
}

}  // namespace
