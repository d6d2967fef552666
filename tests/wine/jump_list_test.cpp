#include <windows.h>

#include <shobjidl.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <tuple>
#include <vector>

#include "common/path/file_system.h"
#include "scheduler/core/app_user_model_id.h"
#include "scheduler/core/jump_list_win.h"

namespace {

// Titles outside ASCII, as the Korean and Greek tables have them.
const JumpListTitles kTitles = {
    L"\uC2DC\uC2A4\uD15C \uC885\uB8CC",
    L"Restart",
    L"Sleep",
    L"Hibernate",
    L"Display off",
    L"Screen saver",
    L"\u039A\u03BB\u03B5\u03AF\u03B4\u03C9\u03BC\u03B1",
};

class JumpListTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))); }
    void TearDown() override { CoUninitialize(); }
};

// Wine 8 has no CLSID_EnumerableObjectCollection, so the links are collected by this stand-in.
class RecordingCollection : public IObjectCollection {
  public:
    ~RecordingCollection() {
        for (IUnknown* object : objects)
            object->Release();
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
        if (id == IID_IUnknown || id == __uuidof(IObjectArray) || id == __uuidof(IObjectCollection)) {
            *object = static_cast<IObjectCollection*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    // Lives on the stack of one test.
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    HRESULT STDMETHODCALLTYPE GetCount(UINT* count) override {
        *count = static_cast<UINT>(objects.size());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetAt(UINT index, REFIID id, void** object) override {
        return index < objects.size() ? objects[index]->QueryInterface(id, object) : E_INVALIDARG;
    }
    HRESULT STDMETHODCALLTYPE AddObject(IUnknown* object) override {
        object->AddRef();
        objects.push_back(object);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE AddFromArray(IObjectArray*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE RemoveObjectAt(UINT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Clear() override { return E_NOTIMPL; }

    std::vector<IUnknown*> objects;
};

TEST_F(JumpListTest, OneLinkPerActionStartsTheProgramWithThatAction) {
    const std::wstring executable = GetModuleFilePath();
    RecordingCollection tasks;
    AddJumpListTasks(tasks, executable, kTitles);
    ASSERT_EQ(tasks.objects.size(), kJumpListTaskCount);

    for (UINT i = 0; i < kJumpListTaskCount; ++i) {
        ComPtr<IShellLinkW> link;
        ASSERT_TRUE(SUCCEEDED(tasks.GetAt(i, __uuidof(IShellLinkW), link.PutVoid())));
        wchar_t text[MAX_PATH] = {};
        ASSERT_TRUE(SUCCEEDED(link->GetPath(text, MAX_PATH, nullptr, 0)));
        EXPECT_EQ(lstrcmpiW(text, executable.c_str()), 0) << text;
        ASSERT_TRUE(SUCCEEDED(link->GetArguments(text, MAX_PATH)));
        EXPECT_EQ(std::wstring(text), L"/A /M " + std::to_wstring(i));
        int icon = -1;
        ASSERT_TRUE(SUCCEEDED(link->GetIconLocation(text, MAX_PATH, &icon)));
        EXPECT_EQ(lstrcmpiW(text, executable.c_str()), 0) << text;
        EXPECT_EQ(icon, static_cast<int>(i) + 1);
    }
}

// A destination list that answers as told and records the calls it gets.
class RecordingDestinationList : public ICustomDestinationList {
  public:
    RecordingDestinationList(HRESULT begin, HRESULT commit) : beginAnswer(begin), commitAnswer(commit) {}

    const HRESULT beginAnswer, commitAnswer;
    std::wstring calls;                 // the app id it was given, then "Begin", "Tasks", "Commit", "Abort"
    IObjectArray* userTasks = nullptr;  // the collection handed over, not held

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
        *object = id == IID_IUnknown || id == __uuidof(ICustomDestinationList) ? this : nullptr;
        return *object ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE SetAppID(LPCWSTR id) override { return Record(id, S_OK); }
    HRESULT STDMETHODCALLTYPE BeginList(UINT* minSlots, REFIID, void** removed) override {
        *minSlots = 10;
        *removed = nullptr;
        return Record(L"Begin", beginAnswer);
    }
    HRESULT STDMETHODCALLTYPE AppendCategory(LPCWSTR, IObjectArray*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE AppendKnownCategory(KNOWNDESTCATEGORY) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE AddUserTasks(IObjectArray* tasks) override {
        userTasks = tasks;
        return Record(L"Tasks", S_OK);
    }
    HRESULT STDMETHODCALLTYPE CommitList() override { return Record(L"Commit", commitAnswer); }
    HRESULT STDMETHODCALLTYPE GetRemovedDestinations(REFIID, void**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DeleteList(LPCWSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE AbortList() override { return Record(L"Abort", S_OK); }

  private:
    HRESULT Record(const std::wstring& call, HRESULT answer) {
        calls += call + L" ";
        return answer;
    }
};

TEST_F(JumpListTest, TheListGetsTheSevenLinksOnlyWhenItCanBeBegun) {
    const std::wstring executable = GetModuleFilePath();
    const std::wstring begun = std::wstring(kAppUserModelId) + L" Begin ";
    // The result is true with S_OK only.
    const std::tuple<const char*, HRESULT, HRESULT, std::wstring, HRESULT, std::wstring, size_t> cases[] = {
        {"committed", S_OK, S_OK, executable, S_OK, begun + L"Tasks Commit ", kJumpListTaskCount},
        // What Wine 8's list answers.
        {"begin not implemented", E_NOTIMPL, S_OK, executable, E_NOTIMPL, begun, 0},
        {"begin denied", E_ACCESSDENIED, S_OK, executable, E_ACCESSDENIED, begun, 0},
        {"begin another success", S_FALSE, S_OK, executable, E_UNEXPECTED, begun + L"Abort ", 0},
        {"commit fails", S_OK, E_FAIL, executable, E_FAIL, begun + L"Tasks Commit ", kJumpListTaskCount},
        // Nothing is begun without an executable.
        {"no executable", S_OK, S_OK, L"", HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER), L"", 0},
    };
    for (const auto& [name, begin, commit, target, result, calls, links] : cases) {
        RecordingDestinationList list(begin, commit);
        RecordingCollection tasks;
        HRESULT hr = 0x12345678;
        EXPECT_EQ(CommitJumpList(list, tasks, target, kTitles, hr), result == S_OK) << name;
        EXPECT_EQ(hr, result) << name;
        EXPECT_EQ(list.calls, calls) << name;
        EXPECT_EQ(tasks.objects.size(), links) << name;
        EXPECT_EQ(list.userTasks, links > 0 ? static_cast<IObjectArray*>(&tasks) : nullptr) << name;
    }
}

// The platform's own list and collection: committed only where both classes exist and the list can
// be begun; otherwise it fails with the platform's answer and builds nothing (Wine 8 has no
// enumerable collection and a list that answers E_NOTIMPL).
TEST_F(JumpListTest, RegisteringOnThePlatformFollowsWhatItsClassesAnswer) {
    const HRESULT expected = [] {
        ComPtr<ICustomDestinationList> probe;
        ComPtr<IObjectCollection> collection;
        HRESULT hr = ::CoCreateInstance(CLSID_DestinationList, nullptr, CLSCTX_INPROC_SERVER,
                                        __uuidof(ICustomDestinationList), probe.PutVoid());
        if (SUCCEEDED(hr))
            hr = ::CoCreateInstance(CLSID_EnumerableObjectCollection, nullptr, CLSCTX_INPROC_SERVER,
                                    __uuidof(IObjectCollection), collection.PutVoid());
        if (FAILED(hr))
            return hr;
        probe->SetAppID(kAppUserModelId);
        UINT slots = 0;
        ComPtr<IObjectArray> removed;
        hr = probe->BeginList(&slots, __uuidof(IObjectArray), removed.PutVoid());
        if (hr == S_OK)
            probe->AbortList();
        return hr != S_OK && SUCCEEDED(hr) ? E_UNEXPECTED : hr;
    }();
    std::printf("the platform's jump list answers HRESULT 0x%08lx\n", static_cast<unsigned long>(expected));

    // A list that began is committed (expected is S_OK then) and can be taken away again.
    HRESULT registered = S_OK;
    EXPECT_EQ(RegisterJumpList(kTitles, &registered), expected == S_OK);
    EXPECT_EQ(registered, expected);
    if (expected == S_OK) {
        EXPECT_TRUE(SUCCEEDED(DeleteJumpList()));
    }
}

}  // namespace
