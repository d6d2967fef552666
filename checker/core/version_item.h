#pragma once

#include <string>

// One offered download or page of the version document, in document order.
struct CVersionItem {
    std::wstring label;  // the element's text, shown in the update dialog's list
    std::wstring spec;   // the edition it is for; "*" for every edition
    std::wstring type;   // "link" opens it in the browser; anything else is an installer to run
    std::wstring url;

    bool operator==(const CVersionItem&) const = default;
};
