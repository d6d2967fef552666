#pragma once

// The advertisement of the last accepted update answer: a web page the start notice shows below its
// text, with the cookies the browser is to hold for it. One record per process; the update check
// writes it and the toast reads it, both on the user-interface thread.

#include <string>
#include <vector>

struct ToastCookie {
    std::wstring url;
    std::wstring p3p;  // the privacy header sent with the cookie

    bool operator==(const ToastCookie&) const = default;
};

struct ToastAd {
    static constexpr int kDefaultWidth = 320;
    static constexpr int kDefaultHeight = 200;

    bool present = false;
    std::wstring url;  // untrusted: only a web address may be navigated to
    int width = kDefaultWidth;
    int height = kDefaultHeight;
    std::vector<ToastCookie> cookies;

    bool operator==(const ToastAd&) const = default;
};

// The process's record, made on first use. User-interface thread only.
ToastAd& ToastAdRecord();
