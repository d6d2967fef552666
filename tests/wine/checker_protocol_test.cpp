// The version check with the real WinINet getter and registry against tools/loopback-server, the
// endpoints pointed at it through the current user's overrides.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "checker/core/checker_keys.h"
#include "checker/core/document_getter_win.h"
#include "checker/core/version_check_win.h"
#include "checker/core/version_rules.h"
#include "common/platform/registry_values.h"
#include "common/platform/registry_win.h"
#include "tests/wine/loopback_control.h"

namespace {

const std::string kPrimaryPath = "/primary/download/version.php";
const std::string kFallbackPath = "/fallback/~qp/codec/version.php";

std::string Narrow(const std::wstring& text) {
    std::string narrow;
    for (wchar_t c : text)
        narrow += c < 0x80 ? static_cast<char>(c) : '?';
    return narrow;
}

class CheckerProtocolTest : public testing::Test {
  protected:
    static void RemoveCheckerKeys() { ::RegDeleteTreeW(HKEY_CURRENT_USER, kQuillpackKeyPath); }

    void SetUp() override {
        ASSERT_FALSE(server.BaseUrl().empty())
            << "QP_LOOPBACK_URL is not set; run under tools/loopback-server";
        ASSERT_TRUE(server.Reset());
        RemoveCheckerKeys();
        CWin32Registry registry;
        auto key =
            registry.Create(RegistryRoot::CurrentUser, kCheckerStateKeyPath, RegistryAccess::ReadWrite);
        ASSERT_TRUE(key);
        ASSERT_TRUE(WriteString(*key, kServerValue, server.Url(L"/primary")));
        ASSERT_TRUE(WriteString(*key, kFallbackServerValue, server.Url(L"/fallback/~qp/")));
    }
    void TearDown() override { RemoveCheckerKeys(); }

    void Answer(const std::string& path, const std::string& parameters) {
        ASSERT_TRUE(server.SetAnswer(path, parameters)) << path << " " << parameters;
    }
    void AnswerDocument(const std::string& path, const std::string& text) {
        Answer(path, "text=" + QueryEncode(text));
    }

    bool Check(CVersionInfo& info) { return CheckLatestVersion(info, L"4.1.2", L"Full", 4, 1); }

    static std::string ExpectedQuery() {
        return "?version=4.1.2&sver=Full&hv=4&lv=1&lang=" + Narrow(UserLanguageName());
    }

    std::vector<std::string> Targets() {
        std::vector<std::string> targets;
        for (const LoggedRequest& request : server.Requests()) {
            EXPECT_EQ(request.method, "GET");
            targets.push_back(request.target);
        }
        return targets;
    }

    static LSTATUS ReadPartnerValue(DWORD& value) {
        DWORD size = sizeof(value);
        return ::RegGetValueW(HKEY_CURRENT_USER, kQuillpackKeyPath, kPartnerSwitchValue, RRF_RT_REG_DWORD,
                              nullptr, &value, &size);
    }

    CLoopbackControl server;
};

TEST_F(CheckerProtocolTest, TheUsersLanguageIsAnIsoName) {
    const std::wstring lang = UserLanguageName();
    EXPECT_EQ(lang, L"en") << "Wine's default locale";
}

TEST_F(CheckerProtocolTest, AFailedOrBrokenPrimaryAnswerSendsTheSameQueryToTheFallback) {
    struct Case {
        const char* name;
        std::string primaryAnswer;
    } const cases[] = {
        {"404", "status=404&text=" + QueryEncode("<version major=\"9\"/>")},
        {"500", "status=500&text=broken"},
        {"HTML 200", "text=" + QueryEncode("<!DOCTYPE html><html><body><h1>Maintenance</h1></body></html>")},
        {"root versions", "text=" + QueryEncode("<versions major=\"9\"/>")},
        {"cut short",
         "text=" + QueryEncode("<version major=\"9\"><item spec=\"*\">One</item><item>Two</item></version>") +
             "&cut=48"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(server.Reset());
        Answer(kPrimaryPath, c.primaryAnswer);
        AnswerDocument(
            kFallbackPath,
            "<version mode=\"auto\" major=\"4\" minor=\"2\" display=\"4.2.0\">"
            "<item spec=\"*\" type=\"exe\" url=\"http://dl.example/qp.exe\">Setup</item></version>");
        CVersionInfo info;
        EXPECT_TRUE(Check(info));
        EXPECT_EQ(Targets(), (std::vector<std::string>{kPrimaryPath + ExpectedQuery(),
                                                       kFallbackPath + ExpectedQuery()}));
        EXPECT_EQ(info.major, 4);
        EXPECT_EQ(info.display, L"4.2.0");
        ASSERT_EQ(info.items.size(), 1u);
        EXPECT_EQ(info.items[0].label, L"Setup");
        EXPECT_TRUE(info.IsNewerThanInstalled(4, 1));
    }
}

TEST_F(CheckerProtocolTest, ARootInCapitalsIsADocumentAndAnotherNameIsNot) {
    AnswerDocument(kPrimaryPath, "<VERSION mode=\"AUTO\" major=\"3\" minor=\"0\" ratio=\"\"/>");
    CVersionInfo info;
    EXPECT_TRUE(Check(info));
    EXPECT_EQ(Targets(), std::vector<std::string>{kPrimaryPath + ExpectedQuery()});
    EXPECT_EQ(info.major, 3);
    EXPECT_EQ(info.ratio, 1.0);
    EXPECT_TRUE(ModeAllowsBackground(info.mode));

    ASSERT_TRUE(server.Reset());
    AnswerDocument(kPrimaryPath, "<versions major=\"5\"/>");
    AnswerDocument(kFallbackPath, "<versions major=\"5\"/>");
    CVersionInfo refused;
    EXPECT_FALSE(Check(refused));
    EXPECT_EQ(Targets().size(), 2u);
    EXPECT_EQ(refused.major, 0);
}

TEST_F(CheckerProtocolTest, NeitherEndpointAnsweringFailsTheCheck) {
    Answer(kPrimaryPath, "status=503");
    Answer(kFallbackPath, "status=404");
    CVersionInfo info;
    EXPECT_FALSE(Check(info));
    EXPECT_EQ(Targets().size(), 2u);
}

TEST_F(CheckerProtocolTest, TheDocumentSetsThePartnerSwitchInTheRegistry) {
    DWORD value = 7;
    AnswerDocument(kPrimaryPath, "<version><criteo toast=\"yes\"/></version>");
    CVersionInfo info;
    ASSERT_TRUE(Check(info));
    ASSERT_EQ(ReadPartnerValue(value), ERROR_SUCCESS);
    EXPECT_EQ(value, 0u);

    AnswerDocument(kPrimaryPath, "<version><criteo toast=\"1\"/></version>");
    ASSERT_TRUE(Check(info));
    EXPECT_EQ(ReadPartnerValue(value), ERROR_FILE_NOT_FOUND);

    AnswerDocument(kPrimaryPath, "<version major=\"1\"/>");
    ASSERT_TRUE(Check(info));
    ASSERT_EQ(ReadPartnerValue(value), ERROR_SUCCESS);
    EXPECT_EQ(value, 0u) << "no criteo element writes 0 as well";
}

TEST_F(CheckerProtocolTest, WithoutThePacksKeyThePartnerSwitchIsNotWritten) {
    // The overrides live below the key, so it goes with them: the check then asks the compiled-in
    // endpoints, which a direct fetch avoids.
    RemoveCheckerKeys();
    AnswerDocument(kPrimaryPath, "<version major=\"2\"/>");
    CVersionInfo info;
    CWinInetDocumentGetter getter;
    CWin32Registry registry;
    EXPECT_TRUE(
        info.FetchVersionDocument(getter, registry, server.Url(L"/primary/download/version.php?x=1")));
    EXPECT_EQ(info.major, 2);
    HKEY key = nullptr;
    EXPECT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, kQuillpackKeyPath, 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
    if (key)
        ::RegCloseKey(key);
}

TEST_F(CheckerProtocolTest, TheProcessGeneratorDrawsWithinRange) {
    double lowest = 1.0;
    double highest = 0.0;
    for (int i = 0; i < 2000; ++i) {
        const double value = ProcessRandom01();
        ASSERT_GE(value, 0.0);
        ASSERT_LT(value, 1.0);
        lowest = std::min(lowest, value);
        highest = std::max(highest, value);
    }
    // 2000 uniform draws all within a tenth of either end would mean the draws are not spread.
    EXPECT_LT(lowest, 0.1);
    EXPECT_GT(highest, 0.9);
    EXPECT_TRUE(RolloutDraw(1.0));
    EXPECT_FALSE(RolloutDraw(0.0));
}

}  // namespace
