// The download job with its WinINet transfer and Win32 file against tools/loopback-server, and the
// download folders in a temporary folder of the test's own.

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <regex>
#include <string>
#include <vector>

#include "checker/core/download_file_name.h"
#include "checker/core/download_file_win.h"
#include "checker/core/download_folder_win.h"
#include "checker/core/download_job.h"
#include "checker/core/download_transfer_win.h"
#include "common/thread/critical_section.h"
#include "common/thread/thread.h"
#include "tests/wine/loopback_control.h"
#include "tests/wine/test_support.h"

namespace {

// The loopback server's generated body: byte i is i % 251.
std::string Pattern(size_t size) {
    std::string body(size, '\0');
    for (size_t i = 0; i < size; ++i)
        body[i] = static_cast<char>(i % 251);
    return body;
}

std::string ReadWholeFile(const std::wstring& path) {
    HANDLE file =
        CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return "<missing>";
    std::string data;
    char buffer[65536];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof(buffer), &got, nullptr) && got > 0)
        data.append(buffer, got);
    CloseHandle(file);
    return data;
}

bool IsEmptyDirectory(const std::wstring& path) {
    WIN32_FIND_DATAW entry;
    HANDLE find = FindFirstFileW((path + L"\\*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE)
        return false;
    bool empty = true;
    do {
        const std::wstring name = entry.cFileName;
        empty = empty && (name == L"." || name == L"..");
    } while (FindNextFileW(find, &entry));
    FindClose(find);
    return empty;
}

// Points the process's temporary folder at a scratch folder, so the clean-up and the folder names
// can be checked without touching anyone else's temporary files.
class TempRedirect {
  public:
    TempRedirect() {
        for (const wchar_t* name : {L"TMP", L"TEMP"}) {
            wchar_t value[MAX_PATH] = {};
            m_saved.push_back(GetEnvironmentVariableW(name, value, MAX_PATH) ? value : L"");
            SetEnvironmentVariableW(name, m_scratch.Path().c_str());
        }
    }
    ~TempRedirect() {
        SetEnvironmentVariableW(L"TMP", m_saved[0].empty() ? nullptr : m_saved[0].c_str());
        SetEnvironmentVariableW(L"TEMP", m_saved[1].empty() ? nullptr : m_saved[1].c_str());
    }
    const CScratchDirectory& Scratch() const { return m_scratch; }

  private:
    CScratchDirectory m_scratch;
    std::vector<std::wstring> m_saved;
};

// The dialog's worker: the job on a CThread, the thread's stop request as the cancel request.
class DownloadWorker : private IRunnable {
  public:
    explicit DownloadWorker(JCriticalSection& lock) : job(lock) {}
    ~DownloadWorker() { m_thread.Wait(INFINITE); }

    bool Start() { return m_thread.Start(); }
    void Cancel() { m_thread.RequestStop(); }
    bool Wait(DWORD ms) { return m_thread.Wait(ms); }

    CDownloadJob job;
    std::atomic<DownloadState> result{DownloadState::Idle};

  private:
    void Run() override {
        CWinInetDownloadTransfer transfer;
        CWin32DownloadFile file;
        result = job.Run(
            transfer, file, [this] { return m_thread.IsStopRequested(); }, [] { return true; });
    }

    CThread m_thread{this};
};

class DownloadTest : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_FALSE(server.BaseUrl().empty())
            << "QP_LOOPBACK_URL is not set; run under tools/loopback-server";
        ASSERT_TRUE(server.Reset());
        folder = CreateDownloadFolder();
        ASSERT_TRUE(IsDirectory(folder)) << "no download folder made";
    }
    void TearDown() override {
        RemoveDownload(path, folder);
        EXPECT_FALSE(PathExists(folder)) << "the download folder stayed";
    }

    void Answer(const std::string& target, const std::string& parameters) {
        ASSERT_TRUE(server.SetAnswer(target, parameters)) << target << " " << parameters;
    }

    // The download as the dialog's worker runs it, on the test's thread.
    DownloadState Download(const std::wstring& url) {
        path = DownloadFilePath(folder, url);
        job.Prepare(url, path);
        CWinInetDownloadTransfer transfer;
        CWin32DownloadFile file;
        return job.Run(transfer, file, [] { return false; }, [] { return true; });
    }

    CLoopbackControl server;
    JCriticalSection lock;
    CDownloadJob job{lock};
    std::wstring folder;
    std::wstring path;
};

TEST_F(DownloadTest, AWholeBodyIsWrittenWithAndWithoutAnAnnouncedLength) {
    const size_t size = 300 * 1024 + 17;  // neither a block nor a piece of the server's
    struct Case {
        const char* name;
        const char* parameters;
        uint32_t announced;
    } const cases[] = {
        {"Content-Length", "", static_cast<uint32_t>(size)},
        {"no Content-Length", "&length=none", 0},
        {"in slow pieces", "&chunk=7000&delay=0.001", static_cast<uint32_t>(size)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(server.Reset());
        Answer("/dl/QPSetup_1.2.exe", "generate=" + std::to_string(size) + c.parameters);
        EXPECT_EQ(Download(server.Url(L"/dl/QPSetup_1.2.exe")), DownloadState::Completed);
        EXPECT_EQ(path, folder + L"\\QPSetup_1.2.exe");
        EXPECT_TRUE(ReadWholeFile(path) == Pattern(size)) << "the file differs from the body";
        const DownloadProgress progress = job.Progress();
        EXPECT_EQ(progress.state, DownloadState::Completed);
        EXPECT_EQ(progress.totalBytes, c.announced);
        EXPECT_EQ(progress.receivedBytes, size);

        const std::vector<LoggedRequest> requests = server.Requests();
        ASSERT_EQ(requests.size(), 1u);
        EXPECT_EQ(requests[0].method, "GET");
        EXPECT_EQ(requests[0].target, "/dl/QPSetup_1.2.exe");
        EXPECT_TRUE(DeleteFileW(path.c_str()));
    }

    // Whatever is already at the path, a planted file included, is never written over.
    ASSERT_TRUE(WriteTextFile(path, "planted"));
    Answer("/dl/QPSetup_1.2.exe", "generate=100");
    EXPECT_EQ(Download(server.Url(L"/dl/QPSetup_1.2.exe")), DownloadState::Failed);
    EXPECT_EQ(ReadWholeFile(path), "planted");
    EXPECT_TRUE(DeleteFileW(path.c_str()));
}

TEST_F(DownloadTest, ABodyCutShortOrLongerThanAnnouncedFailsAndItsFileIsRemoved) {
    struct Case {
        const char* name;
        std::string parameters;
    } const cases[] = {
        {"connection closed after 3000 of 5000", "generate=5000&cut=3000"},
        {"announces 5000, sends 3000", "generate=3000&length=5000"},
        {"announces 3000, sends 5000", "generate=5000&length=3000"},
        {"cut at a block edge", "generate=4096&cut=2048"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(server.Reset());
        Answer("/dl/setup.exe", c.parameters);
        EXPECT_EQ(Download(server.Url(L"/dl/setup.exe")), DownloadState::Failed);
        EXPECT_EQ(job.Progress().state, DownloadState::Failed);
        // What came is on disk until the dialog removes it.
        EXPECT_TRUE(PathExists(path));
        RemoveDownload(path, folder);
        EXPECT_FALSE(PathExists(path));
        EXPECT_FALSE(PathExists(folder));
        folder = CreateDownloadFolder();
    }
}

TEST_F(DownloadTest, TheSealedFileCanBeReadButNotChangedRenamedOrDeleted) {
    path = folder + L"\\QPSetup.exe";
    CWin32DownloadFile file;
    ASSERT_TRUE(file.Create(path));
    EXPECT_FALSE(CWin32DownloadFile().Create(path)) << "a second writer of the same name";
    ASSERT_TRUE(file.Write("MZ body", 7));
    EXPECT_FALSE(file.Seal()) << "sealed while still being written";
    file.Close();
    ASSERT_TRUE(file.Seal());
    ASSERT_NE(file.Sealed(), INVALID_HANDLE_VALUE);

    EXPECT_EQ(ReadWholeFile(path), "MZ body");
    HANDLE writer = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(writer, INVALID_HANDLE_VALUE) << "opened for writing while sealed";
    if (writer != INVALID_HANDLE_VALUE)
        CloseHandle(writer);
    EXPECT_FALSE(DeleteFileW(path.c_str()));
    EXPECT_FALSE(MoveFileW(path.c_str(), (folder + L"\\other.exe").c_str()));
    char first[2] = {};
    DWORD read = 0;
    EXPECT_TRUE(ReadFile(file.Sealed(), first, 2, &read, nullptr) && read == 2 && first[0] == 'M');

    // Let go, the file goes as any other; RemoveDownload in TearDown takes the rest.
    file.Release();
    EXPECT_TRUE(DeleteFileW(path.c_str()));
}

TEST_F(DownloadTest, AFilePutInPlaceOfTheWrittenOneIsNeverSealed) {
    path = folder + L"\\QPSetup.exe";
    CWin32DownloadFile file;
    ASSERT_TRUE(file.Create(path));
    ASSERT_TRUE(file.Write("ours", 4));
    file.Close();
    // Between the last write and the seal, another program swaps in a file of its own.
    ASSERT_TRUE(MoveFileW(path.c_str(), (folder + L"\\ours.exe").c_str()));
    ASSERT_TRUE(WriteTextFile(path, "theirs"));
    EXPECT_FALSE(file.Seal());
    EXPECT_EQ(file.Sealed(), INVALID_HANDLE_VALUE);
    EXPECT_TRUE(DeleteFileW((folder + L"\\ours.exe").c_str()));
}

TEST_F(DownloadTest, A404FailsWithoutAFile) {
    Answer("/dl/setup.exe", "status=404&text=gone");
    EXPECT_EQ(Download(server.Url(L"/dl/setup.exe")), DownloadState::Failed);
    EXPECT_EQ(server.Requests().size(), 1u);
    EXPECT_TRUE(IsEmptyDirectory(folder));
}

TEST_F(DownloadTest, OnlyWebAddressesAreAskedFor) {
    const std::wstring hostPort = server.BaseUrl().substr(server.BaseUrl().find(L"//") + 2);
    const std::vector<std::wstring> urls = {L"ftp://" + hostPort + L"/dl/setup.exe",
                                            L"file:///C:/windows/notepad.exe",
                                            L"file://" + hostPort + L"/dl/setup.exe", L"dl/setup.exe"};
    for (const std::wstring& url : urls) {
        SCOPED_TRACE(testing::PrintToString(url));
        EXPECT_EQ(Download(url), DownloadState::Failed);
        EXPECT_TRUE(IsEmptyDirectory(folder));
    }
    EXPECT_TRUE(server.Requests().empty());
}

TEST_F(DownloadTest, AnUnsafeNameFailsWithoutARequest) {
    Answer("/dl/setup.exe", "generate=100");
    EXPECT_EQ(Download(server.Url(L"/dl/setup.exe?x=1")), DownloadState::Failed);
    EXPECT_EQ(Download(server.Url(L"/dl/NUL")), DownloadState::Failed);
    EXPECT_TRUE(server.Requests().empty());
    EXPECT_TRUE(IsEmptyDirectory(folder));
}

TEST_F(DownloadTest, OnAWorkerThreadItCompletesOrIsCancelledMidBody) {
    Answer("/dl/whole.exe", "generate=70000");
    Answer("/dl/slow.exe", "generate=4000000&chunk=4096&delay=0.01");
    {
        DownloadWorker worker(lock);
        path = DownloadFilePath(folder, L"http://x/whole.exe");
        worker.job.Prepare(server.Url(L"/dl/whole.exe"), path);
        ASSERT_TRUE(worker.Start());
        ASSERT_TRUE(worker.Wait(60000));
        EXPECT_EQ(worker.result.load(), DownloadState::Completed);
        EXPECT_EQ(worker.job.Progress().receivedBytes, 70000u);
        EXPECT_TRUE(ReadWholeFile(path) == Pattern(70000));
        RemoveDownload(path, L"");
    }
    DownloadWorker worker(lock);
    path = DownloadFilePath(folder, L"http://x/slow.exe");
    worker.job.Prepare(server.Url(L"/dl/slow.exe"), path);
    ASSERT_TRUE(worker.Start());
    // The dialog's timer: poll until bytes arrive, then cancel as the user would.
    DownloadProgress seen{};
    for (int i = 0; i < 3000; ++i) {
        seen = worker.job.Progress();
        if (seen.state == DownloadState::Receiving && seen.receivedBytes > 8192)
            break;
        Sleep(10);
    }
    ASSERT_EQ(seen.state, DownloadState::Receiving);
    EXPECT_EQ(seen.totalBytes, 4000000u);
    worker.Cancel();
    ASSERT_TRUE(worker.Wait(60000));
    EXPECT_EQ(worker.result.load(), DownloadState::Cancelled);
    const DownloadProgress end = worker.job.Progress();
    EXPECT_EQ(end.state, DownloadState::Cancelled);
    EXPECT_LT(end.receivedBytes, 4000000u);
    EXPECT_EQ(ReadWholeFile(path).size(), end.receivedBytes);
}

class DownloadFolderTest : public testing::Test {
  protected:
    TempRedirect temp;
    std::wstring Temp(const std::wstring& name) const { return temp.Scratch() / name; }
};

TEST_F(DownloadFolderTest, IsAFreshQpchkupdFolderInTheTemporaryFolder) {
    const std::wregex shape(L"QPCHKUPD[ 0-9A-F]{4}");
    const std::wstring a = CreateDownloadFolder();
    const std::wstring b = CreateDownloadFolder();
    for (const std::wstring& made : {a, b}) {
        SCOPED_TRACE(testing::PrintToString(made));
        ASSERT_EQ(made.rfind(temp.Scratch().Path() + L"\\", 0), 0u) << "not in the temporary folder";
        EXPECT_TRUE(std::regex_match(made.substr(temp.Scratch().Path().size() + 1), shape));
        EXPECT_TRUE(IsDirectory(made));
    }
    EXPECT_NE(a, b);

    // Draws 85 and 16384 give 0xAB, shown right-aligned; as that name is taken, 0 and 1 give 0.
    ASSERT_TRUE(WriteTextFile(Temp(L"QPCHKUPD  AB"), "taken"));
    std::vector<uint32_t> draws = {85, 16384, 0, 1};
    size_t next = 0;
    const std::wstring drawn = CreateDownloadFolder([&] { return draws.at(next++); });
    EXPECT_EQ(drawn, Temp(L"QPCHKUPD   0"));
    EXPECT_EQ(next, 4u);
    EXPECT_TRUE(IsDirectory(drawn));
}

TEST_F(DownloadFolderTest, ANameTakenByALinkIsDrawnAgainAndTheLinkIsLeftAlone) {
    // Draws (0, 0) name "QPCHKUPD   0" and (1, 0) "QPCHKUPD   2"; both are planted with links, one to a
    // folder elsewhere and one whose target is gone, so (2, 0) gives the folder, "QPCHKUPD   4".
    const std::wstring outside = Temp(L"outside"), gone = Temp(L"gone");
    for (const std::wstring& target : {outside, gone})
        ASSERT_TRUE(CreateDirectoryW(target.c_str(), nullptr));
    ASSERT_TRUE(MakeDirectoryLink(Temp(L"QPCHKUPD   0"), outside));
    ASSERT_TRUE(MakeDirectoryLink(Temp(L"QPCHKUPD   2"), gone));
    ASSERT_TRUE(RemoveDirectoryW(gone.c_str()));
    const std::vector<uint32_t> draws = {0, 0, 1, 0, 2, 0};
    size_t next = 0;
    const std::wstring drawn = CreateDownloadFolder([&] { return draws.at(next++); });
    EXPECT_EQ(drawn, Temp(L"QPCHKUPD   4"));
    EXPECT_TRUE(IsDirectory(drawn));
    EXPECT_TRUE(IsEmptyDirectory(outside)) << "the planted link's target was used";
    EXPECT_FALSE(PathExists(gone)) << "the dangling link's target was made";
}

TEST_F(DownloadFolderTest, RemoveDownloadTakesTheFileAndThenAnEmptyFolder) {
    const std::wstring folder = CreateDownloadFolder();
    ASSERT_TRUE(WriteTextFile(folder + L"\\setup.exe", "MZ"));
    RemoveDownload(folder + L"\\setup.exe", folder);
    EXPECT_FALSE(PathExists(folder));

    // Something else in the folder keeps it; a file that never came is no failure.
    const std::wstring kept = CreateDownloadFolder();
    ASSERT_TRUE(WriteTextFile(kept + L"\\other.txt", "x"));
    RemoveDownload(kept + L"\\setup.exe", kept);
    EXPECT_TRUE(PathExists(kept + L"\\other.txt"));
    RemoveDownload(L"", L"");
}

TEST_F(DownloadFolderTest, TheStartUpCleanUpRemovesOnlyDownloadFoldersAndFollowsNoLink) {
    const std::wstring full = Temp(L"QPCHKUPD 1F2");
    ASSERT_TRUE(CreateDirectoryW(full.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW((full + L"\\sub").c_str(), nullptr));
    ASSERT_TRUE(WriteTextFile(full + L"\\sub\\setup.exe", "MZ"));
    ASSERT_TRUE(CreateDirectoryW(Temp(L"qpchkupd-lower").c_str(), nullptr));
    ASSERT_TRUE(WriteTextFile(Temp(L"QPCHKUPD FILE"), "a plain file of that name"));
    ASSERT_TRUE(CreateDirectoryW(Temp(L"QPCHKUP other").c_str(), nullptr));
    ASSERT_TRUE(WriteTextFile(Temp(L"QPCHKUP other") + L"\\keep.txt", "keep"));

    // Folders elsewhere that links inside and at the pattern point to.
    const std::wstring outside = Temp(L"outside");
    ASSERT_TRUE(CreateDirectoryW(outside.c_str(), nullptr));
    ASSERT_TRUE(WriteTextFile(outside + L"\\precious.txt", "precious"));
    const std::wstring linked = Temp(L"QPCHKUPD LNK");
    ASSERT_TRUE(CreateDirectoryW(linked.c_str(), nullptr));
    const bool innerLink = MakeDirectoryLink(linked + L"\\link", outside);
    const bool outerLink = MakeDirectoryLink(Temp(L"QPCHKUPDLINK"), outside);

    RemoveLeftoverDownloadFolders();

    EXPECT_FALSE(PathExists(full));
    EXPECT_FALSE(PathExists(Temp(L"qpchkupd-lower")));
    EXPECT_TRUE(PathExists(Temp(L"QPCHKUPD FILE")));
    EXPECT_TRUE(PathExists(Temp(L"QPCHKUP other") + L"\\keep.txt"));
    EXPECT_TRUE(innerLink && outerLink)
        << "no directory link could be made; only the target's files are checked";
    EXPECT_EQ(ReadWholeFile(outside + L"\\precious.txt"), "precious") << "a link was followed";
    EXPECT_TRUE(IsDirectory(outside));
}

}  // namespace
