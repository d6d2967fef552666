#include "scheduler/core/update_answer.h"

#include <climits>

#include "common/xml/xml_node.h"

namespace {

std::wstring AttributeText(const CXmlNode& node, std::wstring_view name) {
    const std::wstring* value = node.AttributeValue(name);
    return value ? *value : std::wstring();
}

// One pass, so a version or language that itself holds "$Lang" is not replaced again.
std::wstring ReplaceAdPlaceholders(std::wstring_view url, std::wstring_view version, std::wstring_view lang) {
    static constexpr std::wstring_view kVersion = L"$Version";
    static constexpr std::wstring_view kLang = L"$Lang";
    std::wstring result;
    size_t position = 0;
    while (position < url.size()) {
        const std::wstring_view rest = url.substr(position);
        if (rest.starts_with(kVersion)) {
            result += version;
            position += kVersion.size();
        } else if (rest.starts_with(kLang)) {
            result += lang;
            position += kLang.size();
        } else {
            result += url[position++];
        }
    }
    return result;
}

}  // namespace

bool ReadPositiveDimension(std::wstring_view text, int& value) {
    size_t position = 0;
    while (position < text.size() && (text[position] == L' ' || text[position] == L'\t'))
        ++position;
    if (position < text.size() && text[position] == L'+')
        ++position;
    long long number = 0;
    bool anyDigit = false;
    for (; position < text.size() && text[position] >= L'0' && text[position] <= L'9'; ++position) {
        number = number * 10 + (text[position] - L'0');
        // A size no screen has is no size; stopping here also keeps the sum from overflowing.
        if (number > INT_MAX)
            return false;
        anyDigit = true;
    }
    if (!anyDigit || number <= 0)
        return false;
    value = static_cast<int>(number);
    return true;
}

bool AcceptUpdateAnswer(std::wstring_view response,
                        std::wstring_view version,
                        std::wstring_view lang,
                        ToastAd& ad,
                        UpdateInfo& info) {
    // A context of our own, so its error record belongs to this parse alone. An answer cut short
    // (a dropped connection) is no answer: its root must close within the text.
    CXmlParseContext context;
    CXmlNode root;
    if (!ParseClosedRoot(root, response, context) || !root.IsNamed(L"version"))
        return false;

    info.display = AttributeText(root, L"display");
    info.current = AttributeText(root, L"current");
    info.restricted = AttributeText(root, L"restricted");
    info.url = AttributeText(root, L"url");
    info.mode = AttributeText(root, L"mode");

    ad.present = false;
    ad.cookies.clear();
    for (const auto& child : root.children) {
        if (child->type != XmlElement || !child->IsNamed(L"ad"))
            continue;
        ad.present = true;
        ad.url = ReplaceAdPlaceholders(AttributeText(*child, L"url"), version, lang);
        ReadPositiveDimension(AttributeText(*child, L"width"), ad.width);
        ReadPositiveDimension(AttributeText(*child, L"height"), ad.height);
        ad.cookies.clear();
        for (const auto& grandchild : child->children) {
            if (grandchild->type == XmlElement && grandchild->IsNamed(L"cookie"))
                ad.cookies.push_back(
                    {AttributeText(*grandchild, L"url"), AttributeText(*grandchild, L"p3p")});
        }
    }
    return true;
}

bool AcceptAndRecordUpdateAnswer(std::wstring_view response,
                                 int64_t checkTime,
                                 std::wstring_view version,
                                 std::wstring_view lang,
                                 ToastAd& ad,
                                 UpdateInfo& info,
                                 CSettings& settings,
                                 IRegistry& registry) {
    if (!AcceptUpdateAnswer(response, version, lang, ad, info))
        return false;
    settings.lastUpdateCheck = checkTime;
    settings.Save(registry, false);
    return true;
}
