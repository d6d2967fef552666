#pragma once

// The clickable line under a toast's message. The toast only borrows it: the owner keeps it alive
// for as long as a toast that shows it may be on screen.

#include <string>

class CToastLink {
  public:
    virtual ~CToastLink() = default;
    // The line's text, read when the toast is laid out and painted.
    virtual std::wstring Text() const = 0;
    // Called once when the line is clicked; the toast closes right after.
    virtual void Click() = 0;
};
