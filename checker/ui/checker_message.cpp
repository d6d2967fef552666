#include "checker/ui/checker_message.h"

#include <string>

#include "checker/res/resource.h"
#include "common/ui/app_module.h"
#include "common/ui/resources.h"

int ShowCheckerMessage(HWND owner, UINT textId, UINT type) {
    const std::wstring text = LoadUiString(textId);
    const std::wstring title = LoadUiString(IDS_MESSAGE_TITLE);
    return ::MessageBoxW(owner, text.c_str(), title.c_str(), type);
}

UniqueIcon LoadProgramIcon(int size) {
    return UniqueIcon(
        static_cast<HICON>(::LoadImageW(CAppModule::Instance().Handle(), MAKEINTRESOURCEW(IDI_QPCHKUPD),
                                        IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
}
