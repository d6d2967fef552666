#include "checker/core/install_report.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <deque>
#include <limits>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "checker/core/checker_keys.h"
#include "common/platform/memory_registry.h"
#include "common/random/random.h"
#include "tests/unit/registry_fixtures.h"

namespace {

constexpr wchar_t kBase[] = L"http://report.example/";

class ScriptedGetter : public IDocumentGetter {
  public:
    std::optional<std::wstring> answer;
    std::vector<std::wstring> asked;

    std::optional<std::wstring> Get(const std::wstring& url) override {
        asked.push_back(url);
        return answer;
    }
};

// Records every page it opens and where the window was put; can refuse every open.
class CountingBrowser : public IBrowserApplication {
  public:
    struct Shown {
        std::wstring url;
        std::optional<std::pair<int32_t, int32_t>> position;
        std::optional<std::pair<int32_t, int32_t>> size;
        bool barsHidden = false;
    };

    bool refuse = false;
    int opens = 0;
    std::deque<Shown> shown;  // windows keep a reference to their record

    std::unique_ptr<IBrowserWindowControl> Open(const std::wstring& url) override {
        ++opens;
        if (refuse)
            return nullptr;
        shown.emplace_back();
        shown.back().url = url;
        return std::make_unique<Window>(shown.back());
    }
    void Sleep(uint32_t) override {}

  private:
    class Window : public IBrowserWindowControl {
      public:
        explicit Window(Shown& record) : m_record(record) {}
        void SetBarsVisible(bool visible) override { m_record.barsHidden = !visible; }
        void SetResizable(bool) override {}
        void SetPosition(int32_t left, int32_t top) override { m_record.position = {left, top}; }
        void SetSize(int32_t width, int32_t height) override { m_record.size = {width, height}; }
        void SetVisible(bool) override {}
        void BringToForeground() override {}
        void SetTopmost(bool) override {}

      private:
        Shown& m_record;
    };
};

class InstallReportTest : public ::testing::Test {
  protected:
    void SetCount(const std::wstring& id, RegistryValue value) {
        registry.SetValue(RegistryRoot::CurrentUser, kQuillpackKeyPath, id, std::move(value));
    }
    std::optional<RegistryValue> Count(const std::wstring& id) const {
        return registry.Value(RegistryRoot::CurrentUser, kQuillpackKeyPath, id);
    }
    InstallReportServices Services() {
        return InstallReportServices{getter, registry, browser, [this] { return area; },
                                     [this](uint32_t n) {
                                         pickRanges.push_back(n);
                                         return picked;
                                     }};
    }
    bool Report(const std::wstring& answer, const std::wstring& query = L"?v=1") {
        getter.answer = answer;
        return ReportInstall(Services(), kBase, query);
    }
    std::vector<std::wstring> ShownUrls() const {
        std::vector<std::wstring> urls;
        for (const auto& s : browser.shown)
            urls.push_back(s.url);
        return urls;
    }
    bool ReadValueOf(const std::wstring& name) const {
        for (const auto& access : registry.ValueAccesses())
            if (access.operation == CMemoryRegistry::ValueOperation::Read && access.name == name)
                return true;
        return false;
    }

    ScriptedGetter getter;
    CMemoryRegistry registry;
    CountingBrowser browser;
    std::optional<WorkArea> area = WorkArea{0, 0, 1920, 1040};
    uint32_t picked = 0;
    std::vector<uint32_t> pickRanges;
};

TEST_F(InstallReportTest, AddressIsTheReportPageWithTheQueryAsGiven) {
    const struct {
        const wchar_t* base;
        const wchar_t* query;
        const wchar_t* address;
    } cases[] = {
        {L"http://report.example/", L"?v=1.2&lang=ko", L"http://report.example/log/inst.php?v=1.2&lang=ko"},
        {L"http://127.0.0.1:8080/staging", L"?a=%20b c",
         L"http://127.0.0.1:8080/staging/log/inst.php?a=%20b c"},
        {L"http://report.example", L"", L"http://report.example/log/inst.php"},
        {L"http://report.example", L"&no=question", L"http://report.example/log/inst.php&no=question"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(InstallReportAddress(c.base, c.query), c.address);

    EXPECT_TRUE(Report(L"<install/>", L"?id=7&x=y"));
    EXPECT_EQ(getter.asked, (std::vector<std::wstring>{L"http://report.example/log/inst.php?id=7&x=y"}));
}

TEST_F(InstallReportTest, OnlyAnInstallAnswerCountsAsReported) {
    const std::wstring withPageA = L"<install><pop id='a' url='http://p.example/a'/>";
    const struct {
        const char* name;
        std::optional<std::wstring> answer;
        bool reported;
    } cases[] = {
        {"no 200 answer", std::nullopt, false},
        {"another root", L"<version><pop id='a' url='http://p.example/'/></version>", false},
        {"not a document", L"install", false},
        {"empty", L"", false},
        {"install in any case", L"<?xml version='1.0'?><InStAlL></InStAlL>", true},
        {"install without pages", L"<install><other/></install>", true},
        // Cut short (a dropped connection, the getter's size limit): what came is not shown.
        {"cut inside the root", withPageA, false},
        {"cut inside a page", withPageA + L"<pop id='b' url='http://p", false},
        {"cut inside the end tag", withPageA + L"</inst", false},
        {"cut inside a comment", withPageA + L"<!-- more", false},
        {"closed, then trailing text", withPageA + L"</install>\r\n", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        getter.answer = c.answer;
        const int opensBefore = browser.opens;
        EXPECT_EQ(ReportInstall(Services(), kBase, L"?q"), c.reported);
        EXPECT_TRUE(c.reported || browser.opens == opensBefore) << "a refused answer opens nothing";
    }
    // The one whole answer with a page showed it; nothing refused touched the registry.
    EXPECT_EQ(ShownUrls(), (std::vector<std::wstring>{L"http://p.example/a"}));
    EXPECT_EQ(Count(L"a"), DwordValue(1));
    for (const auto& access : registry.ValueAccesses())
        EXPECT_EQ(access.name, L"a");
}

TEST_F(InstallReportTest, OnlyPlainShortIdsNameARegistryValue) {
    // clang-format off
    const std::pair<std::wstring, bool> cases[] = {
        {L"Pop_2024-01.v2", true}, {std::wstring(64, L'x'), true}, {std::wstring(65, L'x'), false},
        {L"", false}, {L"a b", false}, {L"Software/Run", false}, {L"id\t", false},
        {std::wstring(L"id\0x", 4), false}, {L"caf\u00e9", false}, {L"\uFF41", false} /* full-width a */,
        {L"(Default)", false}};
    // clang-format on
    for (const auto& [id, usable] : cases) {
        SCOPED_TRACE(testing::PrintToString(id));
        EXPECT_EQ(IsUsablePageId(id), usable);
        // Any other id counts as unreadable, 0, so its page is the one shown; it is never read or written.
        SetCount(id, DwordValue(5));
        SetCount(L"other", DwordValue(2));
        registry.ClearLogs();
        browser.shown.clear();
        EXPECT_TRUE(Report(L"<install><pop id='other' url='http://p.example/o'/><pop id='" + id +
                           L"' url='http://p.example/p'/></install>"));
        EXPECT_EQ(ShownUrls(),
                  std::vector<std::wstring>{usable ? L"http://p.example/o" : L"http://p.example/p"});
        EXPECT_EQ(Count(L"other"), DwordValue(usable ? 3 : 2));
        EXPECT_EQ(Count(id), DwordValue(5));
        for (const auto& access : registry.ValueAccesses())
            EXPECT_TRUE(usable || access.name != id) << "neither read nor written";
    }
}

TEST_F(InstallReportTest, LeastShownPagesAreTheCandidatesAndTheChosenOneIsCounted) {
    const std::wstring answer =
        L"<install>"
        L"<pop id='first' url='http://pages.example/1'/>"
        L"<pop id='second' url='http://pages.example/2'/>"
        L"<POP id='third' url='https://pages.example/3'/>"
        L"</install>";
    for (const uint32_t choice : {0u, 1u}) {
        SCOPED_TRACE(choice);
        SetCount(L"first", DwordValue(2));
        SetCount(L"second", DwordValue(0));
        SetCount(L"third", DwordValue(0));
        browser.shown.clear();
        pickRanges.clear();
        picked = choice;

        EXPECT_TRUE(Report(answer));
        EXPECT_EQ(pickRanges, (std::vector<uint32_t>{2})) << "one draw between the two least shown";
        const std::wstring chosen = choice == 0 ? L"second" : L"third";
        const std::wstring other = choice == 0 ? L"third" : L"second";
        EXPECT_EQ(ShownUrls(), (std::vector<std::wstring>{choice == 0 ? L"http://pages.example/2"
                                                                      : L"https://pages.example/3"}));
        EXPECT_EQ(Count(chosen), DwordValue(1));
        EXPECT_EQ(Count(other), DwordValue(0));
        EXPECT_EQ(Count(L"first"), DwordValue(2));
    }
}

TEST_F(InstallReportTest, CandidatesKeepDocumentOrderAndALowerCountStartsAgain) {
    SetCount(L"a", DwordValue(3));
    SetCount(L"b", DwordValue(3));
    SetCount(L"c", DwordValue(1));
    SetCount(L"d", DwordValue(2));
    SetCount(L"e", DwordValue(1));
    CXmlNode root;
    ASSERT_TRUE(root.Parse(
        L"<install><pop id='a' url='http://p.example/a'/><pop id='b' url='http://p.example/b'/>"
        L"<pop id='c' url='http://p.example/c'/><pop id='d' url='http://p.example/d'/>"
        L"<pop id='e' url='http://p.example/e'/><pop id='f' url='http://p.example/f'/></install>"));
    SetCount(L"f", DwordValue(1));
    std::vector<std::wstring> ids;
    for (const NotificationPage& page : ChooseNotificationCandidates(root, registry, nullptr)) {
        ids.push_back(page.id);
        EXPECT_EQ(page.shownCount, 1u);
        EXPECT_EQ(page.flags, BrowserWindowFlags::Foreground);
    }
    EXPECT_EQ(ids, (std::vector<std::wstring>{L"c", L"e", L"f"}));
}

TEST_F(InstallReportTest, PagesWithoutIdOrUrlAreIgnoredEvenWhenLeastShown) {
    SetCount(L"known", DwordValue(5));
    SetCount(L"nourl", DwordValue(0));
    EXPECT_TRUE(
        Report(L"<install>"
               L"<pop id='nourl'/>"
               L"<pop url='http://pages.example/noid'/>"
               L"<pop ID='upper' URL='http://pages.example/upper'/>"
               L"<pop id='known' url='http://pages.example/known'/>"
               L"<page id='other' url='http://pages.example/other'/>"
               L"</install>"));
    EXPECT_EQ(ShownUrls(), (std::vector<std::wstring>{L"http://pages.example/known"}));
    EXPECT_EQ(Count(L"known"), DwordValue(6));
    EXPECT_FALSE(ReadValueOf(L"nourl"));
    EXPECT_FALSE(Count(L"upper").has_value());
}

TEST_F(InstallReportTest, PagesThatAreNotWebAddressesAreSkippedWithoutEffect) {
    const std::wstring answer =
        L"<install>"
        L"<pop id='file' url='file:///C:/Windows/System32/calc.exe'/>"
        L"<pop id='web1' url='http://pages.example/1'/>"
        L"<pop id='share' url='\\\\server\\share\\run.exe'/>"
        L"<pop id='script' url='javascript:alert(1)'/>"
        L"<pop id='web2' url='https://pages.example/2'/>"
        L"<pop id='empty' url=''/>"
        L"</install>";
    for (const uint32_t choice : {0u, 1u}) {
        SCOPED_TRACE(choice);
        SetCount(L"web1", DwordValue(3));
        SetCount(L"web2", DwordValue(3));
        browser.shown.clear();
        pickRanges.clear();
        picked = choice;
        EXPECT_TRUE(Report(answer));
        EXPECT_EQ(pickRanges, (std::vector<uint32_t>{2})) << "neither emptied nor joined the candidates";
        EXPECT_EQ(ShownUrls(), (std::vector<std::wstring>{choice == 0 ? L"http://pages.example/1"
                                                                      : L"https://pages.example/2"}));
        EXPECT_EQ(Count(choice == 0 ? L"web1" : L"web2"), DwordValue(4));
    }
    for (const wchar_t* skipped : {L"file", L"share", L"script", L"empty"}) {
        EXPECT_FALSE(ReadValueOf(skipped)) << "its count is not even read";
        EXPECT_FALSE(Count(skipped).has_value());
    }

    browser.shown.clear();
    pickRanges.clear();
    EXPECT_TRUE(Report(L"<install><pop id='only' url='file:///C:/x.exe'/></install>"));
    EXPECT_EQ(browser.opens, 2) << "no open beyond the two pages shown above";
    EXPECT_TRUE(pickRanges.empty());
}

TEST_F(InstallReportTest, TheWindowIsPlacedAsThePageSays) {
    EXPECT_TRUE(
        Report(L"<install><pop id='p' url='http://pages.example/p' pos='3' x='-10' y='-10' width='300' "
               L"height='200' align='right' valign='bottom'/></install>"));
    ASSERT_EQ(browser.shown.size(), 1u);
    EXPECT_EQ(browser.shown[0].position, (std::pair<int32_t, int32_t>{1610, 830}));
    EXPECT_EQ(browser.shown[0].size, (std::pair<int32_t, int32_t>{300, 200}));
    EXPECT_TRUE(browser.shown[0].barsHidden);

    browser.shown.clear();
    EXPECT_TRUE(
        Report(L"<install><pop id='q' url='http://pages.example/q' pos='0' width='300' height='200' "
               L"ui='Show'/></install>"));
    ASSERT_EQ(browser.shown.size(), 1u);
    EXPECT_FALSE(browser.shown[0].position.has_value()) << "the browser's own position";
    EXPECT_EQ(browser.shown[0].size, (std::pair<int32_t, int32_t>{300, 200}));
    EXPECT_FALSE(browser.shown[0].barsHidden);
}

TEST_F(InstallReportTest, CountIsWrittenOnlyWhenTheWindowWasShown) {
    SetCount(L"p", DwordValue(4));
    browser.refuse = true;
    EXPECT_TRUE(Report(L"<install><pop id='p' url='http://pages.example/p'/></install>"));
    EXPECT_EQ(browser.opens, kBrowserOpenAttempts);
    EXPECT_EQ(Count(L"p"), DwordValue(4));
}

TEST_F(InstallReportTest, CountsReadAsZeroWhenMissingMistypedOrUnreadable) {
    const struct {
        const char* name;
        std::optional<RegistryValue> stored;
        bool failOpen;
        RegistryValue written;
    } cases[] = {
        {"absent", std::nullopt, false, DwordValue(1)},
        {"text", StringValue(L"7"), false, DwordValue(1)},
        {"qword", QwordValue(7), false, DwordValue(1)},
        {"key cannot be opened", DwordValue(7), true, DwordValue(1)},
        {"ordinary", DwordValue(7), false, DwordValue(8)},
        {"past the signed range", DwordValue(0x7fffffffu), false, DwordValue(0x80000000u)},
        {"largest stays largest", DwordValue(std::numeric_limits<uint32_t>::max()), false,
         DwordValue(std::numeric_limits<uint32_t>::max())},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CMemoryRegistry own;
        if (c.stored)
            own.SetValue(RegistryRoot::CurrentUser, kQuillpackKeyPath, L"p", *c.stored);
        own.FailOpen(c.failOpen);
        getter.answer = L"<install><pop id='p' url='http://pages.example/p'/></install>";
        CountingBrowser shownBy;
        EXPECT_TRUE(ReportInstall(InstallReportServices{getter, own, shownBy, nullptr, nullptr}, kBase, L""));
        EXPECT_EQ(shownBy.shown.size(), 1u);
        EXPECT_EQ(own.Value(RegistryRoot::CurrentUser, kQuillpackKeyPath, L"p"), c.written);
    }
}

TEST_F(InstallReportTest, KeyIsCreatedForTheFirstCount) {
    EXPECT_FALSE(registry.KeyExists(RegistryRoot::CurrentUser, kQuillpackKeyPath));
    EXPECT_TRUE(Report(L"<install><pop id='new' url='http://pages.example/new'/></install>"));
    EXPECT_EQ(Count(L"new"), DwordValue(1));

    CMemoryRegistry noCreate;
    noCreate.FailCreate(true);
    getter.answer = L"<install><pop id='new' url='http://pages.example/new'/></install>";
    EXPECT_TRUE(ReportInstall(InstallReportServices{getter, noCreate, browser, nullptr, nullptr}, kBase, L""))
        << "a count that cannot be written does not undo the report";
}

TEST(InstallReportPick, SeededDrawsShareThePagesEvenly) {
    ScriptedGetter getter;
    getter.answer =
        L"<install><pop id='a' url='http://p.example/a'/><pop id='b' url='http://p.example/b'/>"
        L"<pop id='c' url='http://p.example/c'/></install>";
    CMemoryRegistry registry;
    registry.FailWrites(true);  // the counts stay equal, so every report draws among all three
    CountingBrowser browser;
    CRandom generator(12345);
    const InstallReportServices services{getter, registry, browser, nullptr,
                                         [&](uint32_t n) { return generator.BelowOneDraw(n); }};
    constexpr int kReports = 3000;
    for (int i = 0; i < kReports; ++i)
        ASSERT_TRUE(ReportInstall(services, kBase, L""));
    std::map<std::wstring, int> opened;
    for (const auto& s : browser.shown)
        ++opened[s.url];
    ASSERT_EQ(opened.size(), 3u);
    for (const auto& [url, times] : opened) {
        SCOPED_TRACE(std::string(url.begin(), url.end()));
        EXPECT_GT(times, kReports / 3 - 150);
        EXPECT_LT(times, kReports / 3 + 150);
    }
}

}  // namespace
