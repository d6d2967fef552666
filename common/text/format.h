#pragma once

// Fills the Microsoft-style formats of our string tables ("%s" is always a wide string, "%d" a
// number). The printf family cannot be trusted with them: MinGW's C99 stdio and glibc both read
// "%s" in a wide format as a narrow string.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

class FormatArg {
  public:
    FormatArg(std::wstring_view text) : m_text(text), m_isNumber(false) {}
    FormatArg(const wchar_t* text) : m_text(text ? text : L""), m_isNumber(false) {}
    FormatArg(const std::wstring& text) : m_text(text), m_isNumber(false) {}
    FormatArg(int number) : m_number(number) {}
    FormatArg(unsigned number) : m_number(number) {}
    FormatArg(long number) : m_number(number) {}
    FormatArg(unsigned long number) : m_number(static_cast<int64_t>(number)) {}
    FormatArg(long long number) : m_number(number) {}

    // A number given for "%s" is written in decimal; a text given for "%d" is written as it is.
    std::wstring Text() const;

  private:
    std::wstring_view m_text;
    int64_t m_number = 0;
    bool m_isNumber = true;
};

// "%s" and "%d" (also "%ls", "%i", "%u") take the next argument in turn; "%%" is a percent sign.
// A directive without an argument left becomes empty text; anything else after "%" is copied as
// written, so a stray percent sign in a translation never loses text.
std::wstring FormatText(std::wstring_view format, std::initializer_list<FormatArg> args);

// Fills the "$1"/"$2" texts of the string tables: every "$1" becomes `first` and every "$2" becomes
// `second`, in one pass, so a replacement that itself holds "$1" or "$2" stays as it is. Anything
// else, a lone "$" included, is copied unchanged.
std::wstring ReplacePlaceholders(std::wstring_view text, std::wstring_view first, std::wstring_view second);
