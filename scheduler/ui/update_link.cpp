#include "scheduler/ui/update_link.h"

#include <windows.h>

#include <shellapi.h>

#include "common/text/web_address.h"
#include "common/ui/resources.h"
#include "scheduler/res/resource.h"

namespace {

void OpenWithShell(const std::wstring& address) {
    // A failure is not reported: the user can click again or visit the product page.
    ::ShellExecuteW(nullptr, nullptr, address.c_str(), nullptr, nullptr, SW_SHOW);
}

}  // namespace

CUpdateLink::CUpdateLink() : m_opener(&OpenWithShell) {}

CUpdateLink::CUpdateLink(Opener opener) : m_opener(std::move(opener)) {}

std::wstring CUpdateLink::Text() const {
    return LoadUiString(IDS_UPDATE_DOWNLOAD_LINK);
}

void CUpdateLink::Click() {
    if (m_opener && IsWebAddress(m_address))
        m_opener(m_address);
}

CUpdateLink& UpdateLink() {
    static CUpdateLink link;
    return link;
}
