#include <windows.h>

#include <shobjidl.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
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

// A destination list that answers as told and records what it was given.
class RecordingDestinationList : public ICustomDestinationList {
  public:
    HRESULT beginAnswer = S_OK;
    HRESULT commitAnswer = S_OK;
    std::wstring appId;
    IObjectArray* userTasks = nullptr;  // the collection handed over, not held
    bool committed = false;
    bool aborted = false;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
        *object = id == IID_IUnknown || id == __uuidof(ICustomDestinationList) ? this : nullptr;
        return *object ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE SetAppID(LPCWSTR id) override {
        appId = id;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE BeginList(UINT* minSlots, REFIID, void** removed) override {
        *minSlots = 10;
        *removed = nullptr;
        return beginAnswer;
    }
    HRESULT STDMETHODCALLTYPE AppendCategory(LPCWSTR, IObjectArray*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE AppendKnownCategory(KNOWNDESTCATEGORY) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE AddUserTasks(IObjectArray* tasks) override {
        userTasks = tasks;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE CommitList() override {
        committed = true;
        return commitAnswer;
    }
    HRESULT STDMETHODCALLTYPE GetRemovedDestinations(REFIID, void**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DeleteList(LPCWSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE AbortList() override {
        aborted = true;
        return S_OK;
    }
};

TEST_F(JumpListTest, TheListGetsTheSevenLinksOnlyWhenItCanBeBegun) {
    const std::wstring executable = GetModuleFilePath();
    struct Case {
        const char* name;
        HRESULT begin;
        HRESULT commit;
        std::wstring executable;
        bool result;
        HRESULT hr;
        size_t links;  // handed to the list as its user tasks
        bool committed;
        bool aborted;
    };
    const Case cases[] = {
        {"committed", S_OK, S_OK, executable, true, S_OK, kJumpListTaskCount, true, false},
        // What Wine 8's list answers.
        {"begin not implemented", E_NOTIMPL, S_OK, executable, false, E_NOTIMPL, 0, false, false},
        {"begin denied", E_ACCESSDENIED, S_OK, executable, false, E_ACCESSDENIED, 0, false, false},
        {"begin another success", S_FALSE, S_OK, executable, false, E_UNEXPECTED, 0, false, true},
        {"commit fails", S_OK, E_FAIL, executable, false, E_FAIL, kJumpListTaskCount, true, false},
        {"no executable", S_OK, S_OK, L"", false, HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER), 0, false,
         false},
    };
    for (const Case& c : cases) {
        RecordingDestinationList list;
        list.beginAnswer = c.begin;
        list.commitAnswer = c.commit;
        RecordingCollection tasks;
        HRESULT hr = 0x12345678;
        EXPECT_EQ(CommitJumpList(list, tasks, c.executable, kTitles, hr), c.result) << c.name;
        EXPECT_EQ(hr, c.hr) << c.name;
        EXPECT_EQ(list.committed, c.committed) << c.name;
        EXPECT_EQ(list.aborted, c.aborted) << c.name;
        EXPECT_EQ(list.userTasks != nullptr, c.links > 0) << c.name;
        EXPECT_EQ(tasks.objects.size(), c.links) << c.name;
        // Nothing is begun without an executable.
        EXPECT_EQ(list.appId, c.executable.empty() ? L"" : kAppUserModelId) << c.name;
        if (c.links > 0) {
            EXPECT_EQ(list.userTasks, static_cast<IObjectArray*>(&tasks)) << c.name;
        }
    }
}

// The platform's own list and collection: committed only where both classes exist and the list can
// be begun; otherwise it fails with the platform's answer and builds nothing (Wine 8 has no
// enumerable collection and a list that answers E_NOTIMPL).
TEST_F(JumpListTest, RegisteringOnThePlatformFollowsWhatItsClassesAnswer) {
    HRESULT expected = S_OK;
    ComPtr<ICustomDestinationList> probe;
    ComPtr<IObjectCollection> collection;
    expected = ::CoCreateInstance(CLSID_DestinationList, nullptr, CLSCTX_INPROC_SERVER,
                                  __uuidof(ICustomDestinationList), probe.PutVoid());
    if (SUCCEEDED(expected))
        expected = ::CoCreateInstance(CLSID_EnumerableObjectCollection, nullptr, CLSCTX_INPROC_SERVER,
                                      __uuidof(IObjectCollection), collection.PutVoid());
    if (SUCCEEDED(expected)) {
        probe->SetAppID(kAppUserModelId);
        UINT slots = 0;
        ComPtr<IObjectArray> removed;
        expected = probe->BeginList(&slots, __uuidof(IObjectArray), removed.PutVoid());
        if (expected == S_OK)
            probe->AbortList();
        else if (SUCCEEDED(expected))
            expected = E_UNEXPECTED;
    }
    collection.Reset();
    probe.Reset();
    std::printf("the platform's jump list answers HRESULT 0x%08lx\n", static_cast<unsigned long>(expected));

    HRESULT registered = S_OK;
    const bool committed = RegisterJumpList(kTitles, &registered);
    if (SUCCEEDED(expected)) {
        // Only the commit is left to fail, and a list that began commits; it can be taken away.
        EXPECT_TRUE(committed);
        EXPECT_EQ(registered, S_OK);
        EXPECT_TRUE(SUCCEEDED(DeleteJumpList()));
    } else {
        EXPECT_FALSE(committed);
        EXPECT_EQ(registered, expected);
    }
}

}  // namespace
