#pragma once

// The install report: the pack's installer has the checker tell the maker's server that it ran. The
// answer may name notification pages, of which at most one is opened in a browser window of its
// own, chosen among the pages this user has been shown least often.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "checker/core/document_getter.h"
#include "checker/core/notification_page.h"
#include "checker/core/work_area.h"
#include "common/browser/browser_application.h"
#include "common/platform/registry.h"
#include "common/xml/xml_node.h"

// A number below n, every one equally likely (the one-draw variant of the process random numbers).
using PickBelow = std::function<uint32_t(uint32_t n)>;

// What the report reaches outside itself.
struct InstallReportServices {
    IDocumentGetter& getter;
    IRegistry& registry;
    IBrowserApplication& browser;
    WorkAreaSource workArea;
    PickBelow pick;
};

// The report page of the primary endpoint followed by the installer's query exactly as it gave it
// (its own "?" included).
std::wstring InstallReportAddress(std::wstring_view primaryBase, std::wstring_view query);

// Whether a page's id may name its count's registry value: 1 to 64 characters of ASCII letters,
// digits, '.', '-' and '_'. The id comes from the network; anything else (separators, controls, a
// name the registry would refuse or treat specially) never reaches the registry.
bool IsUsablePageId(std::wstring_view id);

// How often the page `id` was shown: its REG_DWORD under HKCU\Software\Quillpack, 0 when the key or
// the value is missing or the value is not a 4-byte REG_DWORD. An id that is not usable reads as 0,
// as an unreadable count does, without a look at the registry.
uint32_t ReadShownCount(IRegistry& registry, const std::wstring& id);

// The pages of an "install" element among which one is drawn: its "pop" children (any letter case)
// that have both "id" and a web address in "url", keeping only those with the lowest shown count,
// in document order. A "pop" whose "url" is not an http or https address is left out altogether:
// it neither becomes a candidate nor sets the lowest count.
std::vector<NotificationPage> ChooseNotificationCandidates(const CXmlNode& install,
                                                           IRegistry& registry,
                                                           const WorkAreaSource& workArea);

// Creates the key when missing and stores the page's count plus one; a count already at the
// largest value stays there rather than wrapping to the least shown. An id that is not usable writes
// nothing (false).
bool RecordPageShown(IRegistry& registry, const NotificationPage& page);

// Sends the report and shows at most one page. True when the answer was an "install" document,
// whether or not a page was shown; false when there was no 200 answer, it did not parse (an answer
// cut short before its root closes included), or its root has another name.
bool ReportInstall(const InstallReportServices& services,
                   std::wstring_view primaryBase,
                   std::wstring_view query);
