#include "checker/core/version_info.h"

#include <optional>

#include "checker/core/attribute_numbers.h"
#include "checker/core/partner_switch.h"
#include "checker/core/version_request.h"
#include "checker/core/version_rules.h"
#include "common/http/endpoint_override.h"
#include "common/text/ascii_case.h"
#include "common/xml/xml_node.h"

namespace {

std::wstring TextOf(const CXmlNode& node, std::wstring_view name) {
    const std::wstring* value = node.AttributeValue(name);
    return value ? *value : std::wstring();
}

int32_t IntegerOf(const CXmlNode& node, std::wstring_view name) {
    const std::wstring* value = node.AttributeValue(name);
    return value ? ReadAttributeInteger(*value) : 0;
}

// A document without a ratio, or with an empty one, is meant for everyone.
double RatioOf(const CXmlNode& node) {
    const std::wstring* value = node.AttributeValue(L"ratio");
    return value && !value->empty() ? ReadAttributeReal(*value) : 1.0;
}

bool IsElement(const CXmlNode* node, std::wstring_view name) {
    return node && node->type == XmlElement && node->IsNamed(name);
}

}  // namespace

bool CVersionInfo::CheckLatestVersion(IDocumentGetter& getter,
                                      IRegistry& registry,
                                      const CheckerEndpoints& endpoints,
                                      std::wstring_view lang,
                                      std::wstring_view installedDisplay,
                                      std::wstring_view installedSpec,
                                      int32_t installedMajor,
                                      int32_t installedMinor) {
    const auto request = [&](std::wstring_view base, std::wstring_view path) {
        return VersionRequestUrl(EndpointAddress(base, path), installedDisplay, installedSpec, installedMajor,
                                 installedMinor, lang);
    };
    if (FetchVersionDocument(getter, registry, request(endpoints.primary, kPrimaryVersionPath)))
        return true;
    return FetchVersionDocument(getter, registry, request(endpoints.fallback, kFallbackVersionPath));
}

bool CVersionInfo::FetchVersionDocument(IDocumentGetter& getter,
                                        IRegistry& registry,
                                        const std::wstring& url) {
    const std::optional<std::wstring> body = getter.Get(url);
    return body && ReadVersionDocument(*body, registry);
}

bool CVersionInfo::ReadVersionDocument(std::wstring_view text, IRegistry& registry) {
    // The whole tree is read before the record is touched, so a refused document changes nothing.
    CXmlNode root;
    if (!ParseClosedRoot(root, text) || !IsElement(&root, L"version"))
        return false;

    mode = TextOf(root, L"mode");
    major = IntegerOf(root, L"major");
    minor = IntegerOf(root, L"minor");
    display = TextOf(root, L"display");
    ratio = RatioOf(root);

    items.clear();
    adUrl.clear();
    cookies.clear();

    bool partnerEnabled = false;
    for (size_t i = 0; i < root.ChildCount(); ++i) {
        const CXmlNode* child = root.ChildAt(i);
        if (IsElement(child, L"item")) {
            const std::wstring* visible = child->AttributeValue(L"visible");
            if (visible && EqualsIgnoringAsciiCase(*visible, L"hidden"))
                continue;
            items.push_back(CVersionItem{child->value, TextOf(*child, L"spec"), TextOf(*child, L"type"),
                                         TextOf(*child, L"url")});
        } else if (IsElement(child, L"ad")) {
            adUrl = TextOf(*child, L"url");
            adWidth = IntegerOf(*child, L"width");
            adHeight = IntegerOf(*child, L"height");
            adAgent = TextOf(*child, L"agent");
            for (size_t j = 0; j < child->ChildCount(); ++j) {
                const CXmlNode* cookie = child->ChildAt(j);
                if (IsElement(cookie, L"cookie"))
                    cookies.push_back(CCookieUrl{TextOf(*cookie, L"url"), TextOf(*cookie, L"p3p")});
            }
        } else if (IsElement(child, L"criteo")) {
            const std::wstring* toast = child->AttributeValue(L"toast");
            partnerEnabled = toast && *toast == L"1";
        }
    }
    RecordPartnerSwitch(registry, partnerEnabled);
    return true;
}

bool CVersionInfo::IsNewerThanInstalled(int32_t installedMajor, int32_t installedMinor) const {
    return OfferWarrantsAnnouncement(mode, major, minor, installedMajor, installedMinor);
}
