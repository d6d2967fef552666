#include "common/xml/xml_entity_table.h"

CXmlEntityTable::CXmlEntityTable(std::initializer_list<std::pair<wchar_t, std::wstring_view>> entries) {
    for (const auto& [character, reference] : entries)
        Add(character, reference);
}

bool CXmlEntityTable::Add(wchar_t character, std::wstring_view reference) {
    // An empty reference would match everywhere without moving the decoder on.
    if (reference.empty() || reference.size() > kMaxReferenceLength)
        return false;
    Entry entry;
    entry.character = character;
    reference.copy(entry.reference, reference.size());
    entry.length = static_cast<uint32_t>(reference.size());
    m_entries.push_back(entry);
    return true;
}

const CXmlEntityTable& CXmlEntityTable::BuiltIn() {
    static const CXmlEntityTable table{
        {L'&', L"&amp;"}, {L'"', L"&quot;"}, {L'\'', L"&apos;"}, {L'<', L"&lt;"}, {L'>', L"&gt;"},
    };
    return table;
}

std::wstring DecodeEntities(const CXmlEntityTable& table, std::wstring_view text) {
    const auto& entries = table.Entries();
    std::wstring out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        const CXmlEntityTable::Entry* match = nullptr;
        for (const auto& entry : entries) {
            if (entry.reference[0] == text[i] &&
                text.substr(i, entry.length) == std::wstring_view(entry.reference, entry.length)) {
                match = &entry;
                break;
            }
        }
        if (match) {
            out += match->character;
            i += match->length;
        } else {
            out += text[i++];
        }
    }
    return out;
}
