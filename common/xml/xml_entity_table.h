#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The entity references that values are decoded with, tried in order. Numeric character
// references are deliberately not handled: the endpoints never send them and they stay as written.
class CXmlEntityTable {
  public:
    static constexpr size_t kMaxReferenceLength = 10;

    struct Entry {
        wchar_t character = 0;
        wchar_t reference[kMaxReferenceLength + 1] = {};
        uint32_t length = 0;
    };

    CXmlEntityTable() = default;
    CXmlEntityTable(std::initializer_list<std::pair<wchar_t, std::wstring_view>> entries);

    // False (and nothing added) for an empty reference or one longer than ten characters.
    bool Add(wchar_t character, std::wstring_view reference);

    const std::vector<Entry>& Entries() const { return m_entries; }

    // &amp; &quot; &apos; &lt; &gt;, in that order.
    static const CXmlEntityTable& BuiltIn();

  private:
    std::vector<Entry> m_entries;
};

// One left-to-right pass: at each position the first entry whose whole reference matches
// (case-sensitively) is replaced by its character. "&amp;lt;" becomes "&lt;", not "<".
std::wstring DecodeEntities(const CXmlEntityTable& table, std::wstring_view text);
// The same, in place: a reference is never shorter than the character it stands for.
void DecodeEntitiesInPlace(const CXmlEntityTable& table, std::wstring& text);
