#include <windows.h>

#include <shobjidl.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "common/path/file_system.h"
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

// Wine 8's destination list exists but answers E_NOTIMPL, so nothing is committed or deleted; what
// it answers is printed so that a change shows in the log.
TEST_F(JumpListTest, RegisterAndDeleteRunThrough) {
    HRESULT registered = S_OK;
    const bool committed = RegisterJumpList(kTitles, &registered);
    std::printf("RegisterJumpList: %s, HRESULT 0x%08lx\n", committed ? "committed" : "not committed",
                static_cast<unsigned long>(registered));
    EXPECT_EQ(committed, SUCCEEDED(registered));

    const HRESULT deleted = DeleteJumpList();
    std::printf("DeleteJumpList: HRESULT 0x%08lx\n", static_cast<unsigned long>(deleted));
}

}  // namespace
