#pragma once

// The update toast's link: "Download the update" opens the download address of the last answer
// that announced a newer version.

#include <functional>
#include <string>

#include "scheduler/ui/toast_link.h"

class CUpdateLink : public CToastLink {
  public:
    // Hands an address to the system; the default opens it with the shell's default handler.
    using Opener = std::function<void(const std::wstring& address)>;

    CUpdateLink();
    explicit CUpdateLink(Opener opener);

    // Each announcement brings its own address.
    void SetAddress(std::wstring address) { m_address = std::move(address); }
    const std::wstring& Address() const { return m_address; }

    // String 181 in the user interface's language.
    std::wstring Text() const override;
    // Opens the address only when it is a web address; anything else the answer named is ignored.
    void Click() override;

  private:
    Opener m_opener;
    std::wstring m_address;
};

// The one link of the process, made on first use.
CUpdateLink& UpdateLink();
