#include "checker/core/version_info.h"

#include <gtest/gtest.h>

#include <string>

#include "checker/core/checker_keys.h"
#include "checker/core/version_rules.h"
#include "common/platform/memory_registry.h"
#include "tests/unit/registry_fixtures.h"

namespace {

class VersionDocumentTest : public testing::Test {
  protected:
    void SetUp() override { registry.CreateKey(RegistryRoot::CurrentUser, kQuillpackKeyPath); }

    std::optional<RegistryValue> PartnerValue() const {
        return registry.Value(RegistryRoot::CurrentUser, kQuillpackKeyPath, kPartnerSwitchValue);
    }
    bool Read(const std::wstring& text) { return info.ReadVersionDocument(text, registry); }

    CMemoryRegistry registry;
    CVersionInfo info;
};

TEST_F(VersionDocumentTest, AFreshRecordHoldsTheStartingValues) {
    const CVersionInfo fresh;
    EXPECT_EQ(fresh.mode, L"");
    EXPECT_EQ(fresh.major, 0);
    EXPECT_EQ(fresh.minor, 0);
    EXPECT_EQ(fresh.display, L"");
    EXPECT_EQ(fresh.ratio, 0.0);
    EXPECT_EQ(fresh.adUrl, L"");
    EXPECT_EQ(fresh.adWidth, 320);
    EXPECT_EQ(fresh.adHeight, 200);
    EXPECT_EQ(fresh.adAgent, L"");
    EXPECT_TRUE(fresh.cookies.empty());
    EXPECT_TRUE(fresh.items.empty());
}

TEST_F(VersionDocumentTest, AFullDocumentFillsEveryField) {
    ASSERT_TRUE(
        Read(LR"(<?xml version="1.0"?>
<version mode="auto" major="5" minor="12" display="5.12.0" ratio="0.25">
  <item spec="*" type="exe" url="http://dl.example/full.exe">Full setup</item>
  <!-- a comment between the children -->
  <item spec="Lite" type="link" url="http://dl.example/lite">Lite page</item>
  <ad url="http://ads.example/p" width="468" height="60" agent="QPAgent">
    <cookie url="http://ads.example/" p3p="CP=&quot;NOI&quot;"/>
    <cookie url="http://track.example/"/>
    <other url="http://not.a.cookie/"/>
  </ad>
  <unknown mode="strict" major="99"/>
</version>)"));
    EXPECT_EQ(info.mode, L"auto");
    EXPECT_EQ(info.major, 5);
    EXPECT_EQ(info.minor, 12);
    EXPECT_EQ(info.display, L"5.12.0");
    EXPECT_EQ(info.ratio, 0.25);
    EXPECT_EQ(info.items, (std::vector<CVersionItem>{
                              {L"Full setup", L"*", L"exe", L"http://dl.example/full.exe"},
                              {L"Lite page", L"Lite", L"link", L"http://dl.example/lite"},
                          }));
    EXPECT_EQ(info.adUrl, L"http://ads.example/p");
    EXPECT_EQ(info.adWidth, 468);
    EXPECT_EQ(info.adHeight, 60);
    EXPECT_EQ(info.adAgent, L"QPAgent");
    EXPECT_EQ(info.cookies, (std::vector<CCookieUrl>{{L"http://ads.example/", L"CP=\"NOI\""},
                                                     {L"http://track.example/", L""}}));
}

TEST_F(VersionDocumentTest, TheRootMustBeNamedVersionInAnyCase) {
    struct Case {
        const wchar_t* text;
        bool accepted;
    } const cases[] = {
        {L"<VERSION major=\"3\"/>", true},
        {L"<Version major=\"3\"></Version>", true},
        {L"<!-- lead --><version major=\"3\"/>", true},
        {L"<versions major=\"3\"/>", false},
        {L"<versio major=\"3\"/>", false},
        {L"<install major=\"3\"/>", false},
        {L"<html><body><h1>502 Bad Gateway</h1></body></html>", false},
        {L"<!DOCTYPE html><html><head><title>Error</title></head></html>", false},
        {L"Service unavailable", false},
        {L"", false},
        {L"</version>", false},
        {L"<version major=\"3\"><item></wrong></version>", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "document #" << (&c - cases));
        CVersionInfo record;
        EXPECT_EQ(record.ReadVersionDocument(c.text, registry), c.accepted);
        EXPECT_EQ(record.major, c.accepted ? 3 : 0);
    }
}

TEST_F(VersionDocumentTest, ARefusedDocumentChangesNeitherTheRecordNorTheRegistry) {
    ASSERT_TRUE(
        Read(LR"(<version mode="strict" major="4" minor="2" display="4.2" ratio="0.5">
<item spec="*" type="exe" url="http://a/">A</item><ad url="http://ad/" width="10" height="11" agent="x">
<cookie url="http://c/" p3p="p"/></ad><criteo toast="1"/></version>)"));
    const CVersionInfo before = info;
    ASSERT_FALSE(PartnerValue().has_value());
    registry.ClearLogs();

    for (const wchar_t* refused : {
             L"<versions mode=\"auto\" major=\"9\"><item spec=\"*\">Leak</item><criteo "
             L"toast=\"0\"/></versions>",
             L"<version mode=\"auto\" major=\"9\"><item spec=\"*\">Leak</item><criteo/></item></version>",
             L"<html><item spec=\"*\">Leak</item></html>",
         }) {
        EXPECT_FALSE(Read(refused));
        EXPECT_EQ(info.mode, before.mode);
        EXPECT_EQ(info.major, before.major);
        EXPECT_EQ(info.minor, before.minor);
        EXPECT_EQ(info.display, before.display);
        EXPECT_EQ(info.ratio, before.ratio);
        EXPECT_EQ(info.items, before.items);
        EXPECT_EQ(info.adUrl, before.adUrl);
        EXPECT_EQ(info.adWidth, before.adWidth);
        EXPECT_EQ(info.adHeight, before.adHeight);
        EXPECT_EQ(info.adAgent, before.adAgent);
        EXPECT_EQ(info.cookies, before.cookies);
    }
    EXPECT_TRUE(registry.ValueAccesses().empty()) << "the partner switch is left alone";
    EXPECT_TRUE(registry.KeyAccesses().empty());
}

TEST_F(VersionDocumentTest, AnAnswerCutShortIsNoDocument) {
    const std::wstring whole =
        L"<version mode=\"auto\" major=\"5\"><item spec=\"*\" url=\"http://a/\">Setup</item>"
        L"<!-- note --><item spec=\"*\" url=\"http://b/\">Se\\tup</item><![CDATA[x]]></version>";
    ASSERT_TRUE(Read(whole));
    ASSERT_EQ(info.items.size(), 2u);
    // Every cut inside the root, whatever it falls into: a tag, a text, a comment, CDATA, an escape.
    for (size_t length = 0; length < whole.size(); ++length) {
        SCOPED_TRACE(testing::Message() << "cut at " << length);
        CVersionInfo record;
        EXPECT_FALSE(record.ReadVersionDocument(whole.substr(0, length), registry));
        EXPECT_TRUE(record.items.empty());
    }
    for (const wchar_t* closed :
         {L"<version major=\"5\"/>", L"<version major=\"5\"></version >",
          L"<version major=\"5\"></version>\r\n", L"<version major=\"5\"></version><tail>"}) {
        CVersionInfo record;
        EXPECT_TRUE(record.ReadVersionDocument(closed, registry))
            << testing::PrintToString(std::wstring(closed));
        EXPECT_EQ(record.major, 5);
    }
}

TEST_F(VersionDocumentTest, CapitalAutoWithAnEmptyRatioIsForEveryoneAndNewer) {
    ASSERT_TRUE(Read(L"<version mode=\"AUTO\" major=\"3\" minor=\"0\" ratio=\"\"/>"));
    EXPECT_TRUE(ModeAllowsBackground(info.mode));
    EXPECT_EQ(info.ratio, 1.0);
    EXPECT_TRUE(info.IsNewerThanInstalled(2, 9));
    EXPECT_FALSE(info.IsNewerThanInstalled(3, 0));
}

TEST_F(VersionDocumentTest, MissingAttributesTakeTheirDefaults) {
    struct Case {
        const wchar_t* text;
        double ratio;
    } const cases[] = {
        {L"<version/>", 1.0},
        {L"<version ratio=\"\"/>", 1.0},
        {L"<version ratio=\" \"/>", 0.0},
        {L"<version ratio=\"none\"/>", 0.0},
        {L"<version ratio=\"nan\"/>", 0.0},
        {L"<version ratio=\"0\"/>", 0.0},
        {L"<version ratio=\" 0.75 \"/>", 0.75},
        {L"<version ratio=\"2\"/>", 2.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "document #" << (&c - cases));
        CVersionInfo record;
        record.mode = L"stale";
        record.major = 7;
        record.display = L"stale";
        ASSERT_TRUE(record.ReadVersionDocument(c.text, registry));
        EXPECT_EQ(record.mode, L"");
        EXPECT_EQ(record.major, 0);
        EXPECT_EQ(record.minor, 0);
        EXPECT_EQ(record.display, L"");
        EXPECT_EQ(record.ratio, c.ratio);
        EXPECT_TRUE(record.items.empty());
        EXPECT_FALSE(record.IsNewerThanInstalled(0, 0)) << "offered 0.0 is never newer";
    }
    ASSERT_TRUE(Read(L"<version major=\" +4x\" minor=\"-2\"/>"));
    EXPECT_EQ(info.major, 4);
    EXPECT_EQ(info.minor, -2);
}

TEST_F(VersionDocumentTest, HiddenItemsAreDroppedInAnyCase) {
    ASSERT_TRUE(
        Read(LR"(<version>
<item visible="HIDDEN" url="1">one</item>
<item visible="no" url="2">two</item>
<ITEM visible="Hidden" url="3">three</ITEM>
<item visible="hidden " url="4">four</item>
<item visible="" url="5">five</item>
<Item url="6">six</Item>
<items url="7">seven</items>
</version>)"));
    std::vector<std::wstring> urls;
    for (const CVersionItem& item : info.items)
        urls.push_back(item.url);
    EXPECT_EQ(urls, (std::vector<std::wstring>{L"2", L"4", L"5", L"6"}));
    EXPECT_EQ(info.items[0].label, L"two");
    EXPECT_EQ(info.items[0].spec, L"");
    EXPECT_EQ(info.items[0].type, L"");
}

TEST_F(VersionDocumentTest, ItemsAreFilteredByTheInstalledEdition) {
    ASSERT_TRUE(
        Read(LR"(<version>
<item spec="*" url="every">Every</item><item spec="Lite" url="lite">Lite</item>
<item spec="Full" url="full">Full</item><item url="none">None</item></version>)"));
    const auto listed = [this](const wchar_t* installedSpec) {
        std::vector<std::wstring> urls;
        for (const CVersionItem& item : info.items) {
            if (IsListedForEdition(item, installedSpec))
                urls.push_back(item.url);
        }
        return urls;
    };
    for (const wchar_t* lite : {L"lite", L"LITE", L"Lite"})
        EXPECT_EQ(listed(lite), (std::vector<std::wstring>{L"every", L"lite"})) << lite;
    EXPECT_EQ(listed(L"full"), (std::vector<std::wstring>{L"every", L"full"}));
    EXPECT_EQ(listed(L""), (std::vector<std::wstring>{L"every", L"none"}));
    EXPECT_EQ(listed(L"Mega"), (std::vector<std::wstring>{L"every"}));
}

TEST_F(VersionDocumentTest, ThePartnerSwitchFollowsTheLastCriteoElement) {
    struct Case {
        const wchar_t* children;
        bool enabled;
    } const cases[] = {
        {L"<criteo toast=\"1\"/>", true},
        {L"<CRITEO toast=\"1\"/>", true},
        {L"<criteo toast=\"yes\"/>", false},
        {L"<criteo toast=\" 1\"/>", false},
        {L"<criteo toast=\"01\"/>", false},
        {L"<criteo toast=\"\"/>", false},
        {L"<criteo/>", false},
        {L"<criteo Toast=\"1\"/>", false},
        {L"", false},
        {L"<criteo toast=\"1\"/><criteo toast=\"0\"/>", false},
        {L"<criteo toast=\"0\"/><criteo toast=\"1\"/>", true},
        {L"<criteo toast=\"1\"/><criteo/>", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "document #" << (&c - cases));
        // The opposite of what the document says, so every case must write.
        if (c.enabled)
            registry.SetValue(RegistryRoot::CurrentUser, kQuillpackKeyPath, kPartnerSwitchValue,
                              DwordValue(0));
        else
            registry.SetValue(RegistryRoot::CurrentUser, kQuillpackKeyPath, kPartnerSwitchValue,
                              DwordValue(1));
        ASSERT_TRUE(Read(std::wstring(L"<version>") + c.children + L"</version>"));
        if (c.enabled)
            EXPECT_FALSE(PartnerValue().has_value());
        else
            EXPECT_EQ(PartnerValue(), DwordValue(0));
    }
}

TEST_F(VersionDocumentTest, AdvertisementsOverwriteTheirFieldsAndCollectCookies) {
    info.adAgent = L"earlier";
    ASSERT_TRUE(Read(L"<version><ad url=\"http://a/\" height=\"90\"/></version>"));
    EXPECT_EQ(info.adWidth, 0) << "a missing width is 0, not the starting 320";
    EXPECT_EQ(info.adHeight, 90);
    EXPECT_EQ(info.adAgent, L"") << "an ad element sets its agent, missing or not";

    ASSERT_TRUE(
        Read(LR"(<version>
<ad url="http://first/" width="100" height="50" agent="A"><cookie url="http://c1/" p3p="P1"/></ad>
<item url="between">x</item>
<Ad url="http://second/" width="300"><COOKIE url="http://c2/"/><cookie p3p="P3"/></Ad>
</version>)"));
    EXPECT_EQ(info.adUrl, L"http://second/");
    EXPECT_EQ(info.adWidth, 300);
    EXPECT_EQ(info.adHeight, 0);
    EXPECT_EQ(info.adAgent, L"");
    EXPECT_EQ(info.cookies,
              (std::vector<CCookieUrl>{{L"http://c1/", L"P1"}, {L"http://c2/", L""}, {L"", L"P3"}}));
}

TEST_F(VersionDocumentTest, ADocumentWithoutAnAdKeepsTheSizeButClearsTheAddressAndCookies) {
    ASSERT_TRUE(
        Read(LR"(<version><ad url="http://a/" width="468" height="60" agent="Ag">
<cookie url="http://c/"/></ad><item url="i">i</item></version>)"));
    ASSERT_TRUE(Read(L"<version major=\"1\"/>"));
    EXPECT_EQ(info.adUrl, L"");
    EXPECT_TRUE(info.cookies.empty());
    EXPECT_TRUE(info.items.empty());
    EXPECT_EQ(info.adWidth, 468);
    EXPECT_EQ(info.adHeight, 60);
    EXPECT_EQ(info.adAgent, L"Ag");
}

TEST_F(VersionDocumentTest, ThePartnerSwitchIsSkippedWithoutItsKey) {
    CMemoryRegistry empty;
    CVersionInfo record;
    EXPECT_TRUE(record.ReadVersionDocument(L"<version major=\"2\"/>", empty));
    EXPECT_EQ(record.major, 2);
    EXPECT_FALSE(empty.KeyExists(RegistryRoot::CurrentUser, kQuillpackKeyPath));

    registry.FailWrites(true);
    EXPECT_TRUE(Read(L"<version major=\"3\"/>")) << "a registry error does not fail the document";
    EXPECT_EQ(info.major, 3);
}

}  // namespace
