// The install report against tools/loopback-server (the primary endpoint pointed at it through the
// "Server" override) with a browser that only counts, and the partner program started for real: a
// stand-in of ours in a folder whose name has spaces, with decoys where an unquoted path would lead.

#include <windows.h>

#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "checker/core/checker_endpoints_win.h"
#include "checker/core/checker_keys.h"
#include "checker/core/partner_toast_win.h"
#include "checker/core/system_install_report_win.h"
#include "checker/core/work_area_win.h"
#include "common/path/file_system.h"
#include "common/platform/memory_registry.h"
#include "common/platform/registry_values.h"
#include "tests/wine/loopback_control.h"
#include "tests/wine/test_support.h"

namespace {

constexpr char kReportPath[] = "/qp/log/inst.php";

void RemoveQuillpackFromRegistry() {
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kQuillpackKeyPath);
    ::RegDeleteKeyW(HKEY_CURRENT_USER, kQuillpackKeyPath);
}

std::optional<DWORD> StoredCount(const wchar_t* id) {
    DWORD value = 0;
    DWORD size = sizeof(value);
    DWORD type = 0;
    if (::RegGetValueW(HKEY_CURRENT_USER, kQuillpackKeyPath, id, RRF_RT_ANY, &type, &value, &size) !=
            ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof(value))
        return std::nullopt;
    return value;
}

void StoreDword(const wchar_t* name, DWORD value) {
    ASSERT_EQ(::RegSetKeyValueW(HKEY_CURRENT_USER, kQuillpackKeyPath, name, REG_DWORD, &value, sizeof(value)),
              ERROR_SUCCESS);
}

// Counts the pages it is asked to open, and opens none.
class CountingBrowser : public IBrowserApplication {
  public:
    std::vector<std::wstring> opened;

    std::unique_ptr<IBrowserWindowControl> Open(const std::wstring& url) override {
        opened.push_back(url);
        return std::make_unique<Window>();
    }
    void Sleep(uint32_t) override {}

  private:
    class Window : public IBrowserWindowControl {
      public:
        void SetBarsVisible(bool) override {}
        void SetResizable(bool) override {}
        void SetPosition(int32_t, int32_t) override {}
        void SetSize(int32_t, int32_t) override {}
        void SetVisible(bool) override {}
        void BringToForeground() override {}
        void SetTopmost(bool) override {}
    };
};

class CheckerReportTest : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_FALSE(server.BaseUrl().empty())
            << "QP_LOOPBACK_URL is not set; run under tools/loopback-server";
        ASSERT_TRUE(server.Reset());
        RemoveQuillpackFromRegistry();
        const std::wstring base = server.Url(L"/qp/");
        ASSERT_EQ(::RegSetKeyValueW(HKEY_CURRENT_USER, kCheckerStateKeyPath, kServerValue, REG_SZ,
                                    base.c_str(), static_cast<DWORD>((base.size() + 1) * sizeof(wchar_t))),
                  ERROR_SUCCESS);
    }
    void TearDown() override { RemoveQuillpackFromRegistry(); }

    void AnswerDocument(const std::string& utf8) {
        ASSERT_TRUE(server.SetAnswer(kReportPath, "text=" + QueryEncode(utf8)));
    }

    bool Report(const std::wstring& query) {
        CSystemInstallReport system;
        return ReportInstall(system.Services(browser), CurrentCheckerEndpoints().primary, query);
    }

    CLoopbackControl server;
    CountingBrowser browser;
};

TEST_F(CheckerReportTest, QueryGoesOutAsGivenAndTheLeastShownPageIsOpenedAndCounted) {
    AnswerDocument(
        "<?xml version=\"1.0\"?><install>"
        "<pop id=\"qp.one\" url=\"http://pages.example/one\" pos=\"5\" width=\"300\" height=\"200\"/>"
        "<pop id=\"qp.two\" url=\"https://pages.example/two\"/>"
        "<pop id=\"qp.file\" url=\"file:///C:/windows/notepad.exe\"/>"
        "</install>");
    EXPECT_TRUE(Report(L"?ver=1.2.3&lang=ko&name=a%20b"));
    const std::vector<LoggedRequest> requests = server.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].method, "GET");
    EXPECT_EQ(requests[0].target, "/qp/log/inst.php?ver=1.2.3&lang=ko&name=a%20b");

    ASSERT_EQ(browser.opened.size(), 1u) << "at most one page";
    const bool firstWasOne = browser.opened[0] == L"http://pages.example/one";
    EXPECT_TRUE(firstWasOne || browser.opened[0] == L"https://pages.example/two");
    EXPECT_EQ(StoredCount(firstWasOne ? L"qp.one" : L"qp.two"), 1u);
    EXPECT_FALSE(StoredCount(firstWasOne ? L"qp.two" : L"qp.one").has_value());

    // The page not yet shown is now the only one with the lowest count.
    EXPECT_TRUE(Report(L"?second"));
    ASSERT_EQ(browser.opened.size(), 2u);
    EXPECT_EQ(browser.opened[1], firstWasOne ? L"https://pages.example/two" : L"http://pages.example/one");
    EXPECT_EQ(StoredCount(L"qp.one"), 1u);
    EXPECT_EQ(StoredCount(L"qp.two"), 1u);
    EXPECT_FALSE(StoredCount(L"qp.file").has_value()) << "a file address is never a candidate";
    ASSERT_EQ(server.Requests().size(), 2u);
    EXPECT_EQ(server.Requests()[1].target, "/qp/log/inst.php?second");
}

TEST_F(CheckerReportTest, StoredCountsDecideAndAFailedAnswerShowsNothing) {
    StoreDword(L"qp.one", 5);
    const std::string twoPages =
        "<install><pop id=\"qp.one\" url=\"http://pages.example/one\"/>"
        "<pop id=\"qp.two\" url=\"http://pages.example/two\"/></install>";
    AnswerDocument(twoPages);
    EXPECT_TRUE(Report(L""));
    EXPECT_EQ(browser.opened, (std::vector<std::wstring>{L"http://pages.example/two"}));
    EXPECT_EQ(StoredCount(L"qp.one"), 5u);
    EXPECT_EQ(StoredCount(L"qp.two"), 1u);
    ASSERT_EQ(server.Requests().size(), 1u);
    EXPECT_EQ(server.Requests()[0].target, kReportPath);

    ASSERT_TRUE(server.SetAnswer(kReportPath, "status=404&text=gone"));
    EXPECT_FALSE(Report(L"?x=1"));
    AnswerDocument("<version><pop id=\"qp.one\" url=\"http://pages.example/one\"/></version>");
    EXPECT_FALSE(Report(L"?x=2"));
    // The connection dropped after the first page: what came is not taken for the whole answer.
    ASSERT_TRUE(server.SetAnswer(kReportPath, "text=" + QueryEncode(twoPages) + "&cut=58"));
    EXPECT_FALSE(Report(L"?x=3"));
    EXPECT_EQ(browser.opened.size(), 1u);
    EXPECT_EQ(StoredCount(L"qp.one"), 5u);
    EXPECT_EQ(StoredCount(L"qp.two"), 1u);
}

TEST_F(CheckerReportTest, ConvenienceWrapperReportsWithTheSystemsServices) {
    AnswerDocument("<install/>");
    EXPECT_TRUE(ReportInstall(L"?from=wrapper"));
    ASSERT_EQ(server.Requests().size(), 1u);
    EXPECT_EQ(server.Requests()[0].target, "/qp/log/inst.php?from=wrapper");
    ASSERT_TRUE(server.SetAnswer(kReportPath, "status=500"));
    EXPECT_FALSE(ReportInstall(L"?again"));

    // What the wrapper hands the report: the system's browser, WinINet, the real registry, the
    // desktop's work area and the process random numbers.
    CSystemInstallReport system;
    const InstallReportServices services = system.Services();
    EXPECT_NE(dynamic_cast<CBrowserApplication*>(&services.browser), nullptr);
    EXPECT_NE(dynamic_cast<CWinInetDocumentGetter*>(&services.getter), nullptr);
    EXPECT_NE(dynamic_cast<CWin32Registry*>(&services.registry), nullptr);
    RECT area{};
    ASSERT_TRUE(::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0));
    ASSERT_TRUE(services.workArea);
    EXPECT_EQ(services.workArea(), (WorkArea{area.left, area.top, area.right, area.bottom}));
    ASSERT_TRUE(services.pick);
    bool sawEach[3] = {};
    for (int i = 0; i < 300; ++i) {
        const uint32_t drawn = services.pick(3);
        ASSERT_LT(drawn, 3u);
        sawEach[drawn] = true;
    }
    EXPECT_TRUE(sawEach[0] && sawEach[1] && sawEach[2]);
}

// A folder laid out as the pack installs it, in a scratch directory: "Dir With Spaces" is the
// checker's folder, with the stand-in as criteo\criteo.toast; "Dir.exe" and "Dir With.exe" beside
// it are what an unquoted command line would start instead.
class PartnerToastTest : public testing::Test {
  protected:
    void SetUp() override {
        RemoveQuillpackFromRegistry();
        standIn = GetModuleDirectory() + L"\\partner_stand_in.exe";
        ASSERT_TRUE(PathExists(standIn)) << "partner_stand_in.exe is built beside the tests";
        moduleDirectory = scratch / L"Dir With Spaces";
        toastFolder = moduleDirectory + L"\\criteo";
        toast = toastFolder + L"\\criteo.toast";
        ASSERT_TRUE(::CreateDirectoryW(moduleDirectory.c_str(), nullptr));
        ASSERT_TRUE(::CreateDirectoryW(toastFolder.c_str(), nullptr));
        ASSERT_TRUE(::CopyFileW(standIn.c_str(), toast.c_str(), TRUE));
        for (const wchar_t* decoy : {L"Dir.exe", L"Dir With.exe"})
            ASSERT_TRUE(::CopyFileW(standIn.c_str(), (scratch / decoy).c_str(), TRUE));
    }
    void TearDown() override { RemoveQuillpackFromRegistry(); }

    // The stand-in's record of how it was started, once it exists (within 15 seconds).
    static std::optional<std::wstring> WaitForRecord(const std::wstring& program,
                                                     DWORD milliseconds = 15000) {
        const std::wstring marker = program + L".started";
        const ULONGLONG deadline = ::GetTickCount64() + milliseconds;
        while (!PathExists(marker)) {
            if (::GetTickCount64() >= deadline)
                return std::nullopt;
            ::Sleep(20);
        }
        HANDLE file = ::CreateFileW(marker.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return std::nullopt;
        std::wstring text(static_cast<size_t>(::GetFileSize(file, nullptr)) / sizeof(wchar_t), L'\0');
        DWORD read = 0;
        const BOOL ok =
            ::ReadFile(file, text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)), &read, nullptr);
        ::CloseHandle(file);
        if (!ok)
            return std::nullopt;
        ::DeleteFileW(marker.c_str());
        return text;
    }

    void ExpectStartedQuotedInItsFolder(const std::wstring& program, const std::wstring& folder) {
        const std::optional<std::wstring> record = WaitForRecord(program);
        ASSERT_TRUE(record.has_value()) << "the partner program did not start";
        const size_t split = record->find(L'\n');
        ASSERT_NE(split, std::wstring::npos);
        EXPECT_EQ(record->substr(0, split), L"\"" + program + L"\"");
        EXPECT_EQ(_wcsicmp(record->substr(split + 1).c_str(), folder.c_str()), 0)
            << "current directory: " << std::string(record->begin() + split + 1, record->end());
    }

    void ExpectNoDecoyStarted() {
        for (const wchar_t* decoy : {L"Dir.exe", L"Dir With.exe"})
            EXPECT_FALSE(PathExists(scratch / decoy + L".started")) << "started the shorter name";
    }

    CScratchDirectory scratch;
    std::wstring standIn;
    std::wstring moduleDirectory;
    std::wstring toastFolder;
    std::wstring toast;
};

TEST_F(PartnerToastTest, StartsTheProgramQuotedInItsOwnFolderAndNothingElse) {
    CWin32Registry registry;
    ASSERT_TRUE(LaunchPartnerToast(moduleDirectory, registry));
    ExpectStartedQuotedInItsFolder(toast, toastFolder);
    ExpectNoDecoyStarted();
}

TEST_F(PartnerToastTest, TheSwitchStopsItAndDeletingItLetsItRunAgain) {
    CWin32Registry registry;
    StoreDword(kPartnerSwitchValue, 0);
    EXPECT_FALSE(LaunchPartnerToast(moduleDirectory, registry));
    EXPECT_FALSE(WaitForRecord(toast, 1500).has_value()) << "started although switched off";

    ASSERT_EQ(::RegDeleteKeyValueW(HKEY_CURRENT_USER, kQuillpackKeyPath, kPartnerSwitchValue), ERROR_SUCCESS);
    ASSERT_TRUE(LaunchPartnerToast(moduleDirectory, registry));
    ExpectStartedQuotedInItsFolder(toast, toastFolder);

    const wchar_t text[] = L"0";
    ASSERT_EQ(::RegSetKeyValueW(HKEY_CURRENT_USER, kQuillpackKeyPath, kPartnerSwitchValue, REG_SZ, text,
                                sizeof(text)),
              ERROR_SUCCESS);
    ASSERT_TRUE(LaunchPartnerToast(moduleDirectory, registry)) << "a switch stored as text allows it";
    ExpectStartedQuotedInItsFolder(toast, toastFolder);
    ExpectNoDecoyStarted();
}

TEST_F(PartnerToastTest, WithoutTheFileNothingStartsAndTheRegistryIsNotRead) {
    const struct {
        const char* name;
        std::wstring directory;
    } cases[] = {
        {"no criteo folder", scratch.Path()},
        {"no checker folder", std::wstring()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CMemoryRegistry registry;
        EXPECT_FALSE(LaunchPartnerToast(c.directory, registry));
        EXPECT_TRUE(registry.KeyAccesses().empty());
    }

    // A folder where the program should be.
    const std::wstring other = scratch / L"Other";
    ASSERT_TRUE(::CreateDirectoryW(other.c_str(), nullptr));
    ASSERT_TRUE(::CreateDirectoryW((other + L"\\criteo").c_str(), nullptr));
    ASSERT_TRUE(::CreateDirectoryW((other + L"\\criteo\\criteo.toast").c_str(), nullptr));
    CMemoryRegistry registry;
    EXPECT_FALSE(LaunchPartnerToast(other, registry));
    EXPECT_TRUE(registry.KeyAccesses().empty());
    ExpectNoDecoyStarted();
}

TEST_F(PartnerToastTest, TheRunningCheckerLooksInItsOwnFolder) {
    const std::wstring ownFolder = GetModuleDirectory() + L"\\criteo";
    const std::wstring ownToast = ownFolder + L"\\criteo.toast";
    EXPECT_FALSE(LaunchPartnerToast()) << "nothing installed beside the tests yet";
    ASSERT_TRUE(::CreateDirectoryW(ownFolder.c_str(), nullptr) || ::GetLastError() == ERROR_ALREADY_EXISTS);
    ASSERT_TRUE(::CopyFileW(standIn.c_str(), ownToast.c_str(), FALSE));
    const bool started = LaunchPartnerToast();
    const std::optional<std::wstring> record = started ? WaitForRecord(ownToast) : std::nullopt;
    // The stand-in may still be ending, and a running program's file cannot be deleted.
    for (int attempt = 0; attempt < 250 && !::DeleteFileW(ownToast.c_str()); ++attempt)
        ::Sleep(20);
    ::RemoveDirectoryW(ownFolder.c_str());
    ASSERT_TRUE(started);
    ASSERT_TRUE(record.has_value());
    EXPECT_EQ(record->substr(0, record->find(L'\n')), L"\"" + ownToast + L"\"");
}

}  // namespace
