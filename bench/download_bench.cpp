// One installer download timed the way the update dialog runs it: a download folder, the job on a
// CThread with the WinINet transfer and the Win32 file, and the caller polling the progress once a
// second under the lock until the worker ends. Prints one line, "ok BYTES SECONDS" (or "failed
// STATE"), for bench/download_bench.py, which sets it against curl fetching the same address.
// With --probe it only reads the body through the HTTP client in reads of BLOCK bytes and drops it,
// which tells the cost of each WinINet read from that of the disk.
//
//     download_bench.exe URL [--keep | --probe BLOCK]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "checker/core/download_file_name.h"
#include "checker/core/download_file_win.h"
#include "checker/core/download_folder_win.h"
#include "checker/core/download_job.h"
#include "checker/core/download_transfer_win.h"
#include "common/http/http_client.h"
#include "common/thread/critical_section.h"
#include "common/thread/thread.h"

namespace {

class DownloadWorker : private IRunnable {
  public:
    explicit DownloadWorker(ILockable& lock) : job(lock) {}
    ~DownloadWorker() { m_thread.Wait(INFINITE); }

    bool Start() { return m_thread.Start(); }
    bool Wait(DWORD ms) { return m_thread.Wait(ms); }

    CDownloadJob job;

  private:
    void Run() override {
        CWinInetDownloadTransfer transfer;
        CWin32DownloadFile file;
        // The transfer is what is measured; the signature check is not part of it.
        job.Run(
            transfer, file, [this] { return m_thread.IsStopRequested(); }, [] { return true; });
    }

    CThread m_thread{this};
};

double Seconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

int Probe(const std::wstring& url, DWORD block) {
    LARGE_INTEGER started;
    QueryPerformanceCounter(&started);
    CHttpClient client;
    if (!client.OpenRequest(L"GET", url, INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE) ||
        !client.SendRequest() || client.QueryStatusCode() != HTTP_STATUS_OK) {
        std::puts("failed request");
        return 1;
    }
    std::vector<char> buffer(block);
    unsigned long long total = 0;
    long count;
    while ((count = client.ReadChunk(buffer.data(), block)) > 0)
        total += static_cast<unsigned long long>(count);
    client.Close();
    LARGE_INTEGER ended;
    QueryPerformanceCounter(&ended);
    std::printf("%s %llu %.6f\n", count == 0 ? "ok" : "failed", total, Seconds(started, ended));
    return count == 0 ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        std::fputs("usage: download_bench.exe URL [--keep | --probe BLOCK]\n", stderr);
        return 2;
    }
    const std::wstring url = argv[1];
    if (argc > 3 && std::wstring(argv[2]) == L"--probe")
        return Probe(url, static_cast<DWORD>(std::max(1, _wtoi(argv[3]))));
    const bool keep = argc > 2 && std::wstring(argv[2]) == L"--keep";

    LARGE_INTEGER started;
    QueryPerformanceCounter(&started);
    const std::wstring folder = CreateDownloadFolder();
    const std::wstring path = DownloadFilePath(folder, url);
    JCriticalSection lock;
    DownloadWorker worker(lock);
    worker.job.Prepare(url, path);
    if (!worker.Start()) {
        std::puts("failed start");
        return 1;
    }
    // The dialog's 1000 ms progress timer.
    while (!worker.Wait(1000))
        worker.job.Progress();
    LARGE_INTEGER ended;
    QueryPerformanceCounter(&ended);

    const DownloadProgress progress = worker.job.Progress();
    if (!keep || progress.state != DownloadState::Completed)
        RemoveDownload(path, folder);
    if (progress.state != DownloadState::Completed) {
        std::printf("failed %d\n", static_cast<int>(progress.state));
        return 1;
    }
    std::printf("ok %lu %.6f\n", static_cast<unsigned long>(progress.receivedBytes), Seconds(started, ended));
    return 0;
}
