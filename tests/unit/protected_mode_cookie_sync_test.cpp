#include "common/browser/protected_mode_cookie_sync.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr int32_t kFailed = static_cast<int32_t>(0x80004005);              // E_FAIL
constexpr int32_t kInsufficientBuffer = static_cast<int32_t>(0x8007007A);  // from ERROR_INSUFFICIENT_BUFFER
constexpr int32_t kNotProtected = 1;                                       // S_FALSE

// The protected-mode store of a browser: cookie texts by address, and what the process set.
struct FakeStore {
    bool loads = true;
    int loadCalls = 0;
    int32_t protectedResult = 0;
    std::vector<std::wstring> urlsAsked;
    struct Read {
        std::wstring url;
        bool named;
        uint32_t flags;
        uint32_t capacity;
    };
    std::vector<Read> reads;
    std::vector<int32_t> readResults;  // consumed in order; then success
    std::wstring cookieText;
    struct Set {
        std::wstring url;
        std::wstring data;
        uint32_t flags;
        std::optional<std::wstring> policy;
    };
    std::vector<Set> sets;
};

class FakeCookieApi : public IBrowserCookieApi {
  public:
    explicit FakeCookieApi(FakeStore& store) : m_store(store) {}
    bool Load() override {
        ++m_store.loadCalls;
        return m_store.loads;
    }
    int32_t IsProtectedModeUrl(const std::wstring& url) override {
        m_store.urlsAsked.push_back(url);
        return m_store.protectedResult;
    }
    ProtectedModeCookieRead GetProtectedModeCookie(const std::wstring& url,
                                                   const std::wstring* name,
                                                   uint32_t flags,
                                                   uint32_t capacity) override {
        m_store.reads.push_back({url, name != nullptr, flags, capacity});
        ProtectedModeCookieRead read;
        if (!m_store.readResults.empty()) {
            read.result = m_store.readResults.front();
            m_store.readResults.erase(m_store.readResults.begin());
        }
        if (read.result >= 0)
            read.text = m_store.cookieText;
        return read;
    }
    void SetCookie(const std::wstring& url,
                   const std::wstring& data,
                   uint32_t flags,
                   const std::wstring* policy) override {
        m_store.sets.push_back(
            {url, data, flags, policy ? std::optional<std::wstring>(*policy) : std::nullopt});
    }

  private:
    FakeStore& m_store;
};

CProtectedModeCookieSync MakeSync(FakeStore& store) {
    return CProtectedModeCookieSync(std::make_unique<FakeCookieApi>(store));
}

std::vector<std::wstring> SetData(const FakeStore& store) {
    std::vector<std::wstring> data;
    for (const FakeStore::Set& set : store.sets)
        data.push_back(set.data);
    return data;
}

TEST(ProtectedModeCookieSyncTest, ATextIsSplitAtSemicolonsAndTrimmed) {
    FakeStore store;
    store.cookieText = L"a=1; b=2;  c = 3  ;;d=4; ";
    CProtectedModeCookieSync sync = MakeSync(store);
    sync.SyncCookies(L"https://ads.example/x", std::nullopt);
    EXPECT_EQ(SetData(store), (std::vector<std::wstring>{L"a=1", L"b=2", L"c = 3", L"d=4"}));
    for (const FakeStore::Set& set : store.sets) {
        EXPECT_EQ(set.url, L"https://ads.example/x");
        EXPECT_EQ(set.flags, 0u);
        EXPECT_EQ(set.policy, std::nullopt);
    }
    ASSERT_EQ(store.reads.size(), 1u);
    EXPECT_EQ(store.reads[0].flags, 0x2000u);
    EXPECT_FALSE(store.reads[0].named);
}

TEST(ProtectedModeCookieSyncTest, APolicyAddsThirdPartyFlagsAndIsPassedOn) {
    FakeStore store;
    store.cookieText = L"a=1; b=2";
    CProtectedModeCookieSync sync = MakeSync(store);
    sync.SyncCookies(L"https://ads.example/", std::wstring(L"CP=\"NOI DSP\""));
    ASSERT_EQ(store.reads.size(), 1u);
    EXPECT_EQ(store.reads[0].flags, 0x2010u);
    ASSERT_EQ(store.sets.size(), 2u);
    for (const FakeStore::Set& set : store.sets) {
        EXPECT_EQ(set.flags, 0x50u);
        EXPECT_EQ(set.policy, std::wstring(L"CP=\"NOI DSP\""));
    }

    // An empty policy text counts as none.
    FakeStore plain;
    plain.cookieText = L"a=1";
    CProtectedModeCookieSync other = MakeSync(plain);
    other.SyncCookies(L"https://ads.example/", std::wstring());
    ASSERT_EQ(plain.reads.size(), 1u);
    EXPECT_EQ(plain.reads[0].flags, 0x2000u);
    ASSERT_EQ(plain.sets.size(), 1u);
    EXPECT_EQ(plain.sets[0].flags, 0u);
    EXPECT_EQ(plain.sets[0].policy, std::nullopt);
}

TEST(ProtectedModeCookieSyncTest, UnchangedCookiesAreSetOncePerAddress) {
    FakeStore store;
    store.cookieText = L"a=1; b=2";
    CProtectedModeCookieSync sync = MakeSync(store);
    sync.SyncCookies(L"https://one.example/", std::nullopt);
    sync.SyncCookies(L"https://one.example/", std::nullopt);
    EXPECT_EQ(store.sets.size(), 2u);

    // Another address has a record of its own.
    sync.SyncCookies(L"https://two.example/", std::nullopt);
    EXPECT_EQ(store.sets.size(), 4u);

    // A changed text is copied again, and then remembered.
    store.cookieText = L"a=5";
    sync.SyncCookies(L"https://one.example/", std::nullopt);
    sync.SyncCookies(L"https://one.example/", std::nullopt);
    ASSERT_EQ(store.sets.size(), 5u);
    EXPECT_EQ(store.sets.back().data, L"a=5");
}

TEST(ProtectedModeCookieSyncTest, NothingIsCopiedOutsideProtectedModeOrWithoutCookies) {
    FakeStore store;
    store.cookieText = L"a=1";
    store.protectedResult = kNotProtected;  // only S_OK counts
    CProtectedModeCookieSync sync = MakeSync(store);
    sync.SyncCookies(L"https://one.example/", std::nullopt);
    EXPECT_TRUE(store.reads.empty());
    EXPECT_TRUE(store.sets.empty());

    store.protectedResult = 0;
    store.cookieText.clear();
    sync.SyncCookies(L"https://one.example/", std::nullopt);
    EXPECT_EQ(store.reads.size(), 1u);
    EXPECT_TRUE(store.sets.empty());

    // The empty text was not remembered: cookies arriving later are copied.
    store.cookieText = L"a=1";
    sync.SyncCookies(L"https://one.example/", std::nullopt);
    EXPECT_EQ(SetData(store), (std::vector<std::wstring>{L"a=1"}));
}

struct ReadCase {
    const char* name;
    std::vector<int32_t> results;
    std::vector<uint32_t> capacities;
    bool gotText;
};

class CookieReadTest : public ::testing::TestWithParam<ReadCase> {};

TEST_P(CookieReadTest, OnlyATooSmallBufferIsRetriedOnceWithTheLargeOne) {
    const ReadCase& c = GetParam();
    FakeStore store;
    store.cookieText = L"session=abc";
    store.readResults = c.results;
    CProtectedModeCookieSync sync = MakeSync(store);
    const std::wstring name = L"session";
    EXPECT_EQ(sync.GetProtectedModeCookie(L"https://one.example/", &name, 0x2000),
              c.gotText ? L"session=abc" : L"");
    std::vector<uint32_t> capacities;
    for (const FakeStore::Read& read : store.reads) {
        capacities.push_back(read.capacity);
        EXPECT_TRUE(read.named);
        EXPECT_EQ(read.flags, 0x2000u);
    }
    EXPECT_EQ(capacities, c.capacities);
}

INSTANTIATE_TEST_SUITE_P(
    Results,
    CookieReadTest,
    ::testing::Values(
        ReadCase{"first", {0}, {16384}, true},
        ReadCase{"large", {kInsufficientBuffer, 0}, {16384, 204800}, true},
        ReadCase{"stillTooSmall", {kInsufficientBuffer, kInsufficientBuffer}, {16384, 204800}, false},
        ReadCase{"otherError", {kFailed}, {16384}, false},
        ReadCase{"largeFails", {kInsufficientBuffer, kFailed}, {16384, 204800}, false},
        // A success code never means a short buffer, whatever its low bits.
        ReadCase{"successWith122", {0x0000007A}, {16384}, true}),
    [](const ::testing::TestParamInfo<ReadCase>& info) { return info.param.name; });

TEST(ProtectedModeCookieSyncTest, AMissingModuleOrFunctionSwitchesTheObjectOffForGood) {
    FakeStore store;
    store.loads = false;
    store.cookieText = L"a=1";
    CProtectedModeCookieSync sync = MakeSync(store);
    EXPECT_FALSE(sync.IsProtectedModeUrl(L"https://one.example/"));
    EXPECT_EQ(sync.GetProtectedModeCookie(L"https://one.example/", nullptr, 0), L"");
    sync.SyncCookies(L"https://one.example/", std::nullopt);
    EXPECT_FALSE(sync.Available());
    EXPECT_EQ(store.loadCalls, 1);
    EXPECT_TRUE(store.urlsAsked.empty());
    EXPECT_TRUE(store.reads.empty());
    EXPECT_TRUE(store.sets.empty());

    // Loaded once and kept.
    FakeStore good;
    CProtectedModeCookieSync working = MakeSync(good);
    EXPECT_TRUE(working.IsProtectedModeUrl(L"https://a.example/"));
    EXPECT_TRUE(working.IsProtectedModeUrl(L"https://b.example/"));
    EXPECT_EQ(good.loadCalls, 1);
    EXPECT_EQ(good.urlsAsked, (std::vector<std::wstring>{L"https://a.example/", L"https://b.example/"}));
}

}  // namespace
