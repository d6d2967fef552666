#pragma once

// The codec version document as one check read it. A fetch that fails in any way (no answer, a
// status other than 200, a body that does not parse, a root of another name) leaves the record and
// the registry exactly as they were, so the fallback's document is read into an untouched record and
// nothing of a primary's broken answer can reach it.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "checker/core/checker_endpoints.h"
#include "checker/core/cookie_url.h"
#include "checker/core/document_getter.h"
#include "checker/core/version_item.h"
#include "common/platform/registry.h"

class CVersionInfo {
  public:
    std::wstring mode;
    int32_t major = 0;
    int32_t minor = 0;
    std::wstring display;  // the offered version as the user sees it
    double ratio = 0.0;    // the roll-out share
    std::wstring adUrl;
    int32_t adWidth = 320;
    int32_t adHeight = 200;
    std::wstring adAgent;
    std::vector<CCookieUrl> cookies;
    std::vector<CVersionItem> items;

    virtual ~CVersionInfo() = default;

    // Asks the primary endpoint and, on any failure, the fallback with the same query. True when
    // either delivered a document. `lang` is the user's ISO 639 language name (empty when unknown).
    bool CheckLatestVersion(IDocumentGetter& getter,
                            IRegistry& registry,
                            const CheckerEndpoints& endpoints,
                            std::wstring_view lang,
                            std::wstring_view installedDisplay,
                            std::wstring_view installedSpec,
                            int32_t installedMajor,
                            int32_t installedMinor);

    // One complete request address; true when its endpoint delivered a document that was read.
    bool FetchVersionDocument(IDocumentGetter& getter, IRegistry& registry, const std::wstring& url);

    // Reads a document's text. False, with nothing changed, when it does not parse or its root is
    // not "version" (any case). Otherwise the record takes the document and the partner switch under
    // HKCU\Software\Quillpack is set as its "criteo" element says.
    bool ReadVersionDocument(std::wstring_view text, IRegistry& registry);

    // Whether the offered version is to be announced against the installed one under this mode.
    bool IsNewerThanInstalled(int32_t installedMajor, int32_t installedMinor) const;
};
