#include "checker/core/install_report.h"

#include <limits>
#include <optional>

#include "checker/core/checker_endpoints.h"
#include "checker/core/checker_keys.h"
#include "common/http/endpoint_override.h"
#include "common/platform/registry_values.h"
#include "common/text/web_address.h"

std::wstring InstallReportAddress(std::wstring_view primaryBase, std::wstring_view query) {
    std::wstring address = EndpointAddress(primaryBase, kInstallReportPath);
    address.append(query);
    return address;
}

bool IsUsablePageId(std::wstring_view id) {
    constexpr size_t kLongestId = 64;
    if (id.empty() || id.size() > kLongestId)
        return false;
    for (const wchar_t c : id) {
        const bool usable = (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9') ||
                            c == L'.' || c == L'-' || c == L'_';
        if (!usable)
            return false;
    }
    return true;
}

uint32_t ReadShownCount(IRegistry& registry, const std::wstring& id) {
    if (!IsUsablePageId(id))
        return 0;
    const auto key = registry.Open(RegistryRoot::CurrentUser, kQuillpackKeyPath, RegistryAccess::Read);
    if (!key)
        return 0;
    return ReadDword(*key, id).value_or(0);
}

std::vector<NotificationPage> ChooseNotificationCandidates(const CXmlNode& install,
                                                           IRegistry& registry,
                                                           const WorkAreaSource& workArea) {
    std::vector<NotificationPage> candidates;
    std::optional<uint32_t> lowest;
    for (const auto& child : install.children) {
        if (child->type != XmlElement || !child->IsNamed(L"pop"))
            continue;
        const std::wstring* id = child->AttributeValue(L"id");
        const std::wstring* url = child->AttributeValue(L"url");
        // The address comes from the network: a file, a share or another protocol's handler would
        // run something on this machine, so such a page is not even counted.
        if (!id || !url || !IsWebAddress(*url))
            continue;

        const uint32_t count = ReadShownCount(registry, *id);
        if (lowest && count > *lowest)
            continue;
        if (lowest && count < *lowest)
            candidates.clear();
        lowest = count;

        NotificationPage page;
        page.id = *id;
        page.url = *url;
        page.shownCount = count;
        PlaceNotificationPage(*child, workArea, page);
        candidates.push_back(std::move(page));
    }
    return candidates;
}

bool RecordPageShown(IRegistry& registry, const NotificationPage& page) {
    if (!IsUsablePageId(page.id))
        return false;
    const auto key = registry.Create(RegistryRoot::CurrentUser, kQuillpackKeyPath, RegistryAccess::ReadWrite);
    if (!key)
        return false;
    const uint32_t raised =
        page.shownCount == std::numeric_limits<uint32_t>::max() ? page.shownCount : page.shownCount + 1;
    return WriteDword(*key, page.id, raised);
}

bool ReportInstall(const InstallReportServices& services,
                   std::wstring_view primaryBase,
                   std::wstring_view query) {
    const std::optional<std::wstring> answer = services.getter.Get(InstallReportAddress(primaryBase, query));
    if (!answer)
        return false;
    CXmlNode root;
    if (!ParseClosedRoot(root, *answer) || !root.IsNamed(L"install"))
        return false;

    const std::vector<NotificationPage> candidates =
        ChooseNotificationCandidates(root, services.registry, services.workArea);
    if (candidates.empty())
        return true;
    const uint32_t drawn = services.pick ? services.pick(static_cast<uint32_t>(candidates.size())) : 0;
    // A pick at or beyond the end (only a faulty picker gives one) takes the last page rather than
    // reading past the list.
    const NotificationPage& page = candidates[drawn < candidates.size() ? drawn : candidates.size() - 1];
    if (ShowBrowserWindow(services.browser, page.url, page.x, page.y, page.width, page.height, page.flags))
        RecordPageShown(services.registry, page);
    return true;
}
