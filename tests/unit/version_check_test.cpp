#include "checker/core/version_info.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "checker/core/checker_keys.h"
#include "checker/core/version_request.h"
#include "common/platform/memory_registry.h"
#include "tests/unit/registry_fixtures.h"

namespace {

// Answers each address from a script (nothing for an unscripted one) and records what was asked.
class CScriptedGetter : public IDocumentGetter {
  public:
    std::optional<std::wstring> Get(const std::wstring& url) override {
        asked.push_back(url);
        const auto answer = answers.find(url);
        if (answer == answers.end())
            return std::nullopt;
        return answer->second;
    }

    std::map<std::wstring, std::optional<std::wstring>> answers;
    std::vector<std::wstring> asked;
};

const CheckerEndpoints kEndpoints{L"http://primary.example", L"http://fallback.example/~qp/"};
const std::wstring kQuery = L"?version=4.1.2&sver=Full&hv=4&lv=1&lang=en";
const std::wstring kPrimaryUrl = L"http://primary.example/download/version.php" + kQuery;
const std::wstring kFallbackUrl = L"http://fallback.example/~qp/codec/version.php" + kQuery;

class VersionCheckTest : public testing::Test {
  protected:
    bool Check(std::wstring_view lang = L"en") {
        return info.CheckLatestVersion(getter, registry, kEndpoints, lang, L"4.1.2", L"Full", 4, 1);
    }

    CScriptedGetter getter;
    CMemoryRegistry registry;
    CVersionInfo info;
};

TEST(VersionRequest, ParametersFollowTheAddressInOrderAndAsTheyStand) {
    EXPECT_EQ(VersionRequestUrl(L"http://h/download/version.php", L"4.1.2", L"Full", 4, 1, L"en"),
              L"http://h/download/version.php?version=4.1.2&sver=Full&hv=4&lv=1&lang=en");
    EXPECT_EQ(VersionRequestUrl(L"http://h/p", L"", L"", 0, 0, L""),
              L"http://h/p?version=&sver=&hv=0&lv=0&lang=")
        << "every parameter is sent, also empty";
    EXPECT_EQ(VersionRequestUrl(L"http://h/p", L"1 %s&x=%d", L"Mega Plus", -3, 2147483647, L"ko"),
              L"http://h/p?version=1 %s&x=%d&sver=Mega Plus&hv=-3&lv=2147483647&lang=ko")
        << "values are neither escaped nor read as formats";
}

TEST_F(VersionCheckTest, APrimaryDocumentEndsTheCheck) {
    getter.answers[kPrimaryUrl] = L"<version mode=\"auto\" major=\"5\" minor=\"0\"/>";
    getter.answers[kFallbackUrl] = L"<version mode=\"auto\" major=\"6\" minor=\"0\"/>";
    EXPECT_TRUE(Check());
    EXPECT_EQ(getter.asked, std::vector<std::wstring>{kPrimaryUrl});
    EXPECT_EQ(info.major, 5);
}

TEST_F(VersionCheckTest, AnyPrimaryFailureAsksTheFallbackWithTheSameQuery) {
    struct Case {
        const char* name;
        std::optional<std::wstring> primary;
    } const cases[] = {
        {"no answer (404, 500, no connection)", std::nullopt},
        {"an HTML page", L"<!DOCTYPE html><html><body>Not here</body></html>"},
        {"plain text", L"Internal error"},
        {"empty body", L""},
        {"another root", L"<versions major=\"9\"><item spec=\"*\">stale</item></versions>"},
        {"broken XML", L"<version major=\"9\"><item spec=\"*\">stale</ad></version>"},
        {"cut short", L"<version major=\"9\"><item spec=\"*\">stale</item><item spec=\"*\">sta"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        getter = CScriptedGetter();
        info = CVersionInfo();
        getter.answers[kPrimaryUrl] = c.primary;
        getter.answers[kFallbackUrl] =
            L"<version mode=\"strict\" major=\"4\" minor=\"3\"><item spec=\"*\">ok</item></version>";
        EXPECT_TRUE(Check());
        EXPECT_EQ(getter.asked, (std::vector<std::wstring>{kPrimaryUrl, kFallbackUrl}));
        EXPECT_EQ(info.mode, L"strict");
        EXPECT_EQ(info.major, 4);
        EXPECT_EQ(info.minor, 3);
        ASSERT_EQ(info.items.size(), 1u) << "nothing of the primary's answer is kept";
        EXPECT_EQ(info.items[0].label, L"ok");
    }
}

TEST_F(VersionCheckTest, BothFailingFailsTheCheckAndLeavesTheRecord) {
    registry.CreateKey(RegistryRoot::CurrentUser, kQuillpackKeyPath);
    getter.answers[kPrimaryUrl] = L"<html/>";
    info.major = 11;
    info.items.push_back(CVersionItem{L"kept", L"*", L"", L""});
    EXPECT_FALSE(Check());
    EXPECT_EQ(getter.asked.size(), 2u) << "one try each, no retry";
    EXPECT_EQ(info.major, 11);
    EXPECT_EQ(info.items.size(), 1u);
    EXPECT_FALSE(
        registry.Value(RegistryRoot::CurrentUser, kQuillpackKeyPath, kPartnerSwitchValue).has_value())
        << "no document, no partner switch";
}

TEST_F(VersionCheckTest, AnEmptyLanguageIsStillSent) {
    EXPECT_FALSE(Check(L""));
    ASSERT_EQ(getter.asked.size(), 2u);
    for (const std::wstring& url : getter.asked)
        EXPECT_TRUE(url.ends_with(L"?version=4.1.2&sver=Full&hv=4&lv=1&lang="))
            << testing::PrintToString(url);
}

TEST_F(VersionCheckTest, EachFetchRecordsThePartnerSwitch) {
    registry.CreateKey(RegistryRoot::CurrentUser, kQuillpackKeyPath);
    getter.answers[L"http://one/"] = L"<version><criteo toast=\"1\"/></version>";
    getter.answers[L"http://two/"] = L"<version/>";
    registry.SetValue(RegistryRoot::CurrentUser, kQuillpackKeyPath, kPartnerSwitchValue, DwordValue(0));
    EXPECT_TRUE(info.FetchVersionDocument(getter, registry, L"http://one/"));
    EXPECT_FALSE(
        registry.Value(RegistryRoot::CurrentUser, kQuillpackKeyPath, kPartnerSwitchValue).has_value());
    EXPECT_TRUE(info.FetchVersionDocument(getter, registry, L"http://two/"));
    EXPECT_EQ(registry.Value(RegistryRoot::CurrentUser, kQuillpackKeyPath, kPartnerSwitchValue),
              DwordValue(0));
    EXPECT_FALSE(info.FetchVersionDocument(getter, registry, L"http://three/"));
    EXPECT_EQ(getter.asked, (std::vector<std::wstring>{L"http://one/", L"http://two/", L"http://three/"}));
}

}  // namespace
