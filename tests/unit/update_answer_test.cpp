#include <gtest/gtest.h>

#include <string>

#include "common/platform/memory_registry.h"
#include "scheduler/core/update_answer.h"
#include "tests/unit/registry_fixtures.h"

namespace {

// A record as an earlier accepted answer left it.
ToastAd EarlierAd() {
    ToastAd ad;
    ad.present = true;
    ad.url = L"http://ads.example/old";
    ad.width = 400;
    ad.height = 150;
    ad.cookies = {{L"http://ads.example/c", L"CP=\"OLD\""}};
    return ad;
}

UpdateInfo EarlierInfo() {
    return {L"old display", L"http://old.example/", L"0.9", L"0.1", L"exact"};
}

bool Accept(const std::wstring& response, ToastAd& ad, UpdateInfo& info) {
    return AcceptUpdateAnswer(response, L"1.5.0.0", L"ko", ad, info);
}

TEST(AcceptUpdateAnswerTest, RootAttributesAreReadExactlyByName) {
    ToastAd ad = EarlierAd();
    UpdateInfo info = EarlierInfo();
    ASSERT_TRUE(Accept(
        LR"(<?xml version="1.0"?><VERSION display="Tivolan 2.0" current="2.0" url="https://x.example/dl"
                           restricted="1.0" mode="skip" Current="9.9"/>)",
        ad, info));
    EXPECT_EQ(info, (UpdateInfo{L"Tivolan 2.0", L"https://x.example/dl", L"2.0", L"1.0", L"skip"}));
    // No "ad": no advertisement, no cookies, but the last known address and size stay.
    EXPECT_FALSE(ad.present);
    EXPECT_TRUE(ad.cookies.empty());
    EXPECT_EQ(ad.url, L"http://ads.example/old");
    EXPECT_EQ(ad.width, 400);
    EXPECT_EQ(ad.height, 150);
}

TEST(AcceptUpdateAnswerTest, MissingAttributesReadAsEmpty) {
    ToastAd ad;
    UpdateInfo info = EarlierInfo();
    ASSERT_TRUE(Accept(L"<version current=\"2.0\"></version>", ad, info));
    EXPECT_EQ(info, (UpdateInfo{L"", L"", L"2.0", L"", L""}));
}

TEST(AcceptUpdateAnswerTest, OneAdGivesItsAddressSizeAndCookies) {
    ToastAd ad = EarlierAd();
    UpdateInfo info;
    ASSERT_TRUE(
        Accept(LR"(<version current="2.0">
        <ad url="http://ads.example/p?v=$Version&amp;l=$Lang&amp;again=$Version$Lang" width="480" height="90">
          <cookie url="http://ads.example/a" p3p="CP=&quot;A&quot;"/>
          <!-- not a cookie -->
          <Cookie url="http://ads.example/b"/>
          <other url="http://ads.example/x" p3p="x"/>
        </ad>
      </version>)",
               ad, info));
    EXPECT_TRUE(ad.present);
    EXPECT_EQ(ad.url, L"http://ads.example/p?v=1.5.0.0&l=ko&again=1.5.0.0ko");
    EXPECT_EQ(ad.width, 480);
    EXPECT_EQ(ad.height, 90);
    EXPECT_EQ(ad.cookies, (std::vector<ToastCookie>{{L"http://ads.example/a", L"CP=\"A\""},
                                                    {L"http://ads.example/b", L""}}));
}

TEST(AcceptUpdateAnswerTest, TheLastOfTwoAdsWinsWithOnlyItsOwnCookies) {
    ToastAd ad;
    UpdateInfo info;
    ASSERT_TRUE(
        Accept(LR"(<version>
        <ad url="http://first.example/" width="500" height="300"><cookie url="http://first.example/c" p3p="1"/></ad>
        <AD url="http://second.example/$Lang" height="120"><cookie url="http://second.example/c" p3p="2"/></AD>
      </version>)",
               ad, info));
    EXPECT_TRUE(ad.present);
    EXPECT_EQ(ad.url, L"http://second.example/ko");
    // The second has no width: the first one's stays.
    EXPECT_EQ(ad.width, 500);
    EXPECT_EQ(ad.height, 120);
    EXPECT_EQ(ad.cookies, (std::vector<ToastCookie>{{L"http://second.example/c", L"2"}}));
}

TEST(AcceptUpdateAnswerTest, AnAdWithoutWidthKeepsThePreviousAnswersWidth) {
    ToastAd ad = EarlierAd();
    UpdateInfo info;
    ASSERT_TRUE(Accept(L"<version><ad url=\"http://ads.example/new\"/></version>", ad, info));
    EXPECT_TRUE(ad.present);
    EXPECT_EQ(ad.url, L"http://ads.example/new");
    EXPECT_EQ(ad.width, 400);
    EXPECT_EQ(ad.height, 150);
    EXPECT_TRUE(ad.cookies.empty());
}

TEST(AcceptUpdateAnswerTest, SizesOtherThanPositiveNumbersKeepThePreviousOnes) {
    for (const wchar_t* size : {L"", L"0", L"-5", L"abc", L"99999999999", L"2147483648"}) {
        ToastAd ad = EarlierAd();
        UpdateInfo info;
        const std::wstring answer = std::wstring(L"<version><ad url=\"http://a.example/\" width=\"") + size +
                                    L"\" height=\"" + size + L"\"/></version>";
        ASSERT_TRUE(Accept(answer, ad, info)) << testing::PrintToString(answer);
        EXPECT_EQ(ad.width, 400) << testing::PrintToString(std::wstring(size));
        EXPECT_EQ(ad.height, 150) << testing::PrintToString(std::wstring(size));
        EXPECT_TRUE(ad.present);
    }
}

TEST(AcceptUpdateAnswerTest, AnswersThatAreNoVersionDocumentChangeNothing) {
    const wchar_t* answers[] = {
        L"",
        L"not xml at all",
        L"<html><body>Service unavailable</body></html>",
        L"<versions current=\"9.0\"><ad url=\"http://a.example/\"/></versions>",
        L"<version current=\"9.0\"><ad url=\"http://a.example/\"></bad></version>",
        L"<version current=\"9.0\" display=\"x",
        // Cut short after the root's start tag, inside the ad and before the root's end tag.
        L"<version current=\"9.0\" display=\"Tivolan 9.0\">",
        L"<version current=\"9.0\"><ad url=\"http://a.example/\" width=\"300\">",
        L"<version current=\"9.0\"><ad url=\"http://a.example/\"/></vers",
    };
    for (const wchar_t* answer : answers) {
        ToastAd ad = EarlierAd();
        UpdateInfo info = EarlierInfo();
        EXPECT_FALSE(Accept(answer, ad, info)) << testing::PrintToString(std::wstring(answer));
        EXPECT_EQ(ad, EarlierAd()) << testing::PrintToString(std::wstring(answer));
        EXPECT_EQ(info, EarlierInfo()) << testing::PrintToString(std::wstring(answer));
    }
}

TEST(ReadPositiveDimensionTest, TakesTheLeadingDecimalNumber) {
    const struct {
        const wchar_t* text;
        bool taken;
        int value;
    } cases[] = {
        {L"1", true, 1},
        {L"320", true, 320},
        {L" 240", true, 240},
        {L"+17", true, 17},
        {L"300px", true, 300},
        {L"007", true, 7},
        {L"2147483647", true, 2147483647},
        {L"0", false, 0},
        {L"-1", false, 0},
        {L"", false, 0},
        {L"px", false, 0},
        {L"2147483648", false, 0},
        {L"1"
         L"000000000000000000000",
         false, 0},
    };
    for (const auto& c : cases) {
        int value = -42;
        EXPECT_EQ(ReadPositiveDimension(c.text, value), c.taken)
            << testing::PrintToString(std::wstring(c.text));
        EXPECT_EQ(value, c.taken ? c.value : -42) << testing::PrintToString(std::wstring(c.text));
    }
}

class AcceptAndRecordTest : public testing::Test {
  protected:
    CMemoryRegistry registry;
    CSettings settings;
    ToastAd ad = EarlierAd();
    UpdateInfo info = EarlierInfo();
};

TEST_F(AcceptAndRecordTest, AReadAnswerStoresTheCheckTimeWithoutTheTasks) {
    settings.lastUpdateCheck = 100;
    settings.tasks.push_back(TaskRecord{});
    ASSERT_TRUE(AcceptAndRecordUpdateAnswer(L"<version current=\"2.0\"/>", 1717999200, L"1.0", L"en", ad,
                                            info, settings, registry));
    EXPECT_EQ(settings.lastUpdateCheck, 1717999200);
    EXPECT_EQ(registry.Value(RegistryRoot::CurrentUser, kSettingsKeyPath, L"Update"), QwordValue(1717999200));
    EXPECT_FALSE(registry.Value(RegistryRoot::CurrentUser, kSettingsKeyPath, L"Task"));
    EXPECT_EQ(info.current, L"2.0");
}

TEST_F(AcceptAndRecordTest, AnUnreadAnswerWritesNothing) {
    settings.lastUpdateCheck = 100;
    EXPECT_FALSE(AcceptAndRecordUpdateAnswer(L"<update current=\"2.0\"/>", 1717999200, L"1.0", L"en", ad,
                                             info, settings, registry));
    EXPECT_EQ(settings.lastUpdateCheck, 100);
    EXPECT_FALSE(registry.KeyExists(RegistryRoot::CurrentUser, kSettingsKeyPath));
    EXPECT_TRUE(registry.ValueAccesses().empty());
    EXPECT_EQ(ad, EarlierAd());
    EXPECT_EQ(info, EarlierInfo());
}

}  // namespace
