#include "scheduler/core/jump_list_win.h"

#include <propsys.h>
#include <shobjidl.h>
// After propsys.h, which declares PROPERTYKEY.
#include <propkey.h>

#include <cwchar>

#include "common/path/file_system.h"
#include "scheduler/core/action_arguments.h"
#include "scheduler/core/app_user_model_id.h"

namespace {

HRESULT SetTitle(IPropertyStore& store, const std::wstring& title) {
    PROPVARIANT value;
    ::PropVariantInit(&value);
    const size_t bytes = (title.size() + 1) * sizeof(wchar_t);
    auto* text = static_cast<wchar_t*>(::CoTaskMemAlloc(bytes));
    if (!text)
        return E_OUTOFMEMORY;
    std::wmemcpy(text, title.c_str(), title.size() + 1);
    value.vt = VT_LPWSTR;
    value.pwszVal = text;
    HRESULT hr = store.SetValue(PKEY_Title, value);
    ::PropVariantClear(&value);
    if (SUCCEEDED(hr))
        hr = store.Commit();
    return hr;
}

}  // namespace

ComPtr<IShellLinkW> MakeJumpListTask(const std::wstring& executable, int action, const std::wstring& title) {
    ComPtr<IShellLinkW> link = CreateComObject<IShellLinkW>(CLSID_ShellLink);
    if (!link)
        return link;
    link->SetPath(executable.c_str());
    link->SetArguments(ActionNowArguments(action).c_str());
    // The icon groups of the actions follow the program's own icon, so action n is icon n + 1.
    link->SetIconLocation(executable.c_str(), action + 1);
    if (ComPtr<IPropertyStore> store = link.As<IPropertyStore>()) {
        if (FAILED(SetTitle(*store.Get(), title)))
            link.Reset();
    }
    return link;
}

void AddJumpListTasks(IObjectCollection& tasks,
                      const std::wstring& executable,
                      const JumpListTitles& titles) {
    for (size_t action = 0; action < titles.size(); ++action) {
        if (ComPtr<IShellLinkW> link = MakeJumpListTask(executable, static_cast<int>(action), titles[action]))
            tasks.AddObject(link.Get());
    }
}

bool CommitJumpList(ICustomDestinationList& list,
                    IObjectCollection& tasks,
                    const std::wstring& executable,
                    const JumpListTitles& titles,
                    HRESULT& hr) {
    // Links without a target would start nothing.
    if (executable.empty()) {
        hr = HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER);
        return false;
    }
    list.SetAppID(kAppUserModelId);
    UINT minSlots = 0;
    ComPtr<IObjectArray> removed;
    hr = list.BeginList(&minSlots, __uuidof(IObjectArray), removed.PutVoid());
    if (hr != S_OK) {
        // Another success code is no promise of a list to fill; undo it and report a failure.
        if (SUCCEEDED(hr)) {
            list.AbortList();
            hr = E_UNEXPECTED;
        }
        return false;
    }
    AddJumpListTasks(tasks, executable, titles);

    UINT count = 0;
    if (SUCCEEDED(tasks.GetCount(&count)) && count > 0)
        list.AddUserTasks(&tasks);
    removed.Reset();

    hr = list.CommitList();
    return SUCCEEDED(hr);
}

bool RegisterJumpList(const JumpListTitles& titles, HRESULT* result) {
    HRESULT ignored = S_OK;
    HRESULT& hr = result ? *result : ignored;

    ComPtr<ICustomDestinationList> list = CreateComObject<ICustomDestinationList>(CLSID_DestinationList, &hr);
    if (!list)
        return false;
    ComPtr<IObjectCollection> tasks =
        CreateComObject<IObjectCollection>(CLSID_EnumerableObjectCollection, &hr);
    if (!tasks)
        return false;
    return CommitJumpList(*list.Get(), *tasks.Get(), GetModuleFilePath(), titles, hr);
}

HRESULT DeleteJumpList() {
    HRESULT hr = S_OK;
    ComPtr<ICustomDestinationList> list = CreateComObject<ICustomDestinationList>(CLSID_DestinationList, &hr);
    if (!list)
        return hr;
    return list->DeleteList(kAppUserModelId);
}
