#pragma once

#include <string>
#include <string_view>

// The alarm box's text: a message shorter than 20 characters gets spaces until it has 20, so the
// box is never narrower than that. Characters are counted in UTF-16 units, as Windows counts them.
std::wstring PadAlarmMessage(std::wstring_view message);
