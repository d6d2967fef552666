#pragma once

// What the embedded browser may do with an address a page asks for. The pages come from endpoints'
// answers and may be hostile, so the control only ever shows web pages, in the top frame and in
// every sub-frame alike (links, redirects and script included), and no window opens inside the
// program.

#include <string_view>

// BeforeNavigate2: true only for an http: or https: address. The scheme is compared without regard
// to ASCII case and must be the very first thing in the address: a blank or a control character
// before it, which the browser would skip, is refused, as is a control character anywhere.
bool MayNavigateInPlace(std::wstring_view address);

enum class NewWindowAction { OpenInUserBrowser, Drop };

// NewWindow3: the browser is always told to cancel. An address that a link would open
// (IsWebAddress) goes to the user's browser instead; anything else is dropped.
NewWindowAction NewWindowActionFor(std::wstring_view address);
