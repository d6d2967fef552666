#pragma once

#include <string>

// An address whose cookies the notification page must share with the user's browser, with the
// compact privacy policy to pass along (possibly empty).
struct CCookieUrl {
    std::wstring url;
    std::wstring p3p;

    bool operator==(const CCookieUrl&) const = default;
};
