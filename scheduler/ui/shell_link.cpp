#include "scheduler/ui/shell_link.h"

#include <propsys.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <cwchar>

#include "common/path/file_system.h"
#include "common/path/path.h"
#include "common/platform/com_ptr.h"
#include "common/platform/unique_resource.h"
#include "scheduler/core/os_version.h"
#include "scheduler/core/os_version_win.h"
#include "scheduler/ui/shortcut_name.h"

namespace {

// PKEY_AppUserModel_ID, written out so that no import library has to provide it.
constexpr PROPERTYKEY kAppUserModelIdKey = {
    {0x9F4C2855, 0x9F79, 0x4B39, {0xA8, 0xD0, 0xE1, 0xD4, 0x2D, 0xE1, 0xD5, 0xF3}},
    5};

// The shell's menu command range for QueryContextMenu: identifiers 1 to 32770.
constexpr UINT kFirstMenuCommand = 1;
constexpr UINT kLastMenuCommand = 32770;

struct ItemIdListTraits {
    using Type = PIDLIST_ABSOLUTE;
    static Type Empty() { return nullptr; }
    static void Close(Type list) { ::ILFree(list); }
};

struct MenuTraits {
    using Type = HMENU;
    static Type Empty() { return nullptr; }
    static void Close(Type menu) { ::DestroyMenu(menu); }
};

using UniqueItemIdList = UniqueResource<ItemIdListTraits>;
using UniqueMenu = UniqueResource<MenuTraits>;

// Deletes the file when it goes out of scope, so no way out of a pin leaves the shortcut behind.
class CTemporaryFile {
  public:
    explicit CTemporaryFile(std::wstring path) : m_path(std::move(path)) {}
    ~CTemporaryFile() { ::DeleteFileW(m_path.c_str()); }
    CTemporaryFile(const CTemporaryFile&) = delete;
    CTemporaryFile& operator=(const CTemporaryFile&) = delete;

    const std::wstring& Path() const { return m_path; }

  private:
    std::wstring m_path;
};

HRESULT StoreAppUserModelId(IPropertyStore& store, const std::wstring& id) {
    PROPVARIANT value;
    ::PropVariantInit(&value);
    const size_t bytes = (id.size() + 1) * sizeof(wchar_t);
    auto* text = static_cast<wchar_t*>(::CoTaskMemAlloc(bytes));
    if (!text)
        return E_OUTOFMEMORY;
    std::wmemcpy(text, id.c_str(), id.size() + 1);
    value.vt = VT_LPWSTR;
    value.pwszVal = text;
    HRESULT hr = store.SetValue(kAppUserModelIdKey, value);
    ::PropVariantClear(&value);
    if (SUCCEEDED(hr))
        hr = store.Commit();
    return hr;
}

// The richest context-menu interface the handler offers; the shell's own handlers behave the same
// through all three, but some extensions only fill their items through the later ones.
ComPtr<IContextMenu> RichestContextMenu(ComPtr<IContextMenu> menu) {
    if (ComPtr<IContextMenu3> third = menu.As<IContextMenu3>())
        return ComPtr<IContextMenu>(third.Detach());
    if (ComPtr<IContextMenu2> second = menu.As<IContextMenu2>())
        return ComPtr<IContextMenu>(second.Detach());
    return menu;
}

bool InvokeTaskbarPin(const std::wstring& path) {
    UniqueItemIdList item(::ILCreateFromPathW(path.c_str()));
    if (!item)
        return false;
    ComPtr<IShellFolder> parent;
    PCUITEMID_CHILD child = nullptr;
    if (FAILED(::SHBindToParent(item.Get(), __uuidof(IShellFolder), parent.PutVoid(), &child)) || !parent)
        return false;
    ComPtr<IContextMenu> handler;
    if (FAILED(
            parent->GetUIObjectOf(nullptr, 1, &child, __uuidof(IContextMenu), nullptr, handler.PutVoid())) ||
        !handler)
        return false;
    handler = RichestContextMenu(std::move(handler));

    UniqueMenu menu(::CreatePopupMenu());
    if (!menu)
        return false;
    const int end = ::GetMenuItemCount(menu.Get());
    if (FAILED(handler->QueryContextMenu(menu.Get(), end < 0 ? 0 : static_cast<UINT>(end), kFirstMenuCommand,
                                         kLastMenuCommand, CMF_NORMAL)))
        return false;

    CMINVOKECOMMANDINFO command{};
    command.cbSize = sizeof(command);
    command.hwnd = nullptr;
    command.lpVerb = "taskbarpin";
    command.nShow = SW_SHOWNORMAL;
    return SUCCEEDED(handler->InvokeCommand(&command));
}

}  // namespace

bool CreateShortcutFile(const ShortcutDescription& shortcut) {
    ComPtr<IShellLinkW> link = CreateComObject<IShellLinkW>(CLSID_ShellLink);
    if (!link)
        return false;
    link->SetPath(shortcut.target.c_str());
    if (!shortcut.arguments.empty())
        link->SetArguments(shortcut.arguments.c_str());
    if (!shortcut.iconPath.empty())
        link->SetIconLocation(shortcut.iconPath.c_str(), shortcut.iconIndex);
    if (!shortcut.workingFolder.empty())
        link->SetWorkingDirectory(shortcut.workingFolder.c_str());
    if (!shortcut.description.empty())
        link->SetDescription(shortcut.description.c_str());
    if (shortcut.hotKey != 0)
        link->SetHotkey(shortcut.hotKey);
    if (shortcut.showCommand != -1)
        link->SetShowCmd(shortcut.showCommand);

    // A shell without property stores on links still gets the shortcut, only without its identity.
    if (!shortcut.appUserModelId.empty()) {
        if (ComPtr<IPropertyStore> store = link.As<IPropertyStore>()) {
            if (FAILED(StoreAppUserModelId(*store.Get(), shortcut.appUserModelId)))
                return false;
        }
    }

    ComPtr<IPersistFile> file = link.As<IPersistFile>();
    return file && SUCCEEDED(file->Save(shortcut.filePath.c_str(), TRUE));
}

bool PinToTaskbar(const std::wstring& name,
                  const std::wstring& target,
                  const std::wstring& arguments,
                  const std::wstring& iconPath,
                  int iconIndex,
                  const std::wstring& appUserModelId) {
    if (GetOsVersionClass() < OsVersionCode::Windows7)
        return false;
    const std::wstring fileName = ShortcutFileName(name);
    std::wstring path = GetTempDirectory();
    if (fileName.empty() || path.empty() || !AppendPath(path, fileName.c_str()))
        return false;
    path += L".lnk";

    // From here on the file may exist, also when writing it failed half-way.
    const CTemporaryFile shortcutFile(path);
    ShortcutDescription shortcut;
    shortcut.filePath = shortcutFile.Path();
    shortcut.target = target;
    shortcut.arguments = arguments;
    shortcut.iconPath = iconPath;
    shortcut.iconIndex = iconIndex;
    shortcut.appUserModelId = appUserModelId;
    if (!CreateShortcutFile(shortcut))
        return false;
    return InvokeTaskbarPin(shortcutFile.Path());
}

std::wstring DesktopFolder() {
    wchar_t buffer[MAX_PATH] = {};
    if (!::SHGetSpecialFolderPathW(nullptr, buffer, CSIDL_DESKTOP, FALSE))
        return std::wstring();
    return buffer;
}
