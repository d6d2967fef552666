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
    std::wstring out(text);
    DecodeEntitiesInPlace(table, out);
    return out;
}

void DecodeEntitiesInPlace(const CXmlEntityTable& table, std::wstring& text) {
    const auto& entries = table.Entries();
    const std::wstring_view view(text);
    size_t read = 0;
    size_t write = 0;
    while (read < view.size()) {
        const CXmlEntityTable::Entry* match = nullptr;
        for (const auto& entry : entries) {
            if (entry.reference[0] == view[read] &&
                view.substr(read, entry.length) == std::wstring_view(entry.reference, entry.length)) {
                match = &entry;
                break;
            }
        }
        // Writing never overtakes reading, so the text still to be read is intact.
        if (match) {
            text[write++] = match->character;
            read += match->length;
        } else {
            text[write++] = view[read++];
        }
    }
    text.resize(write);
}
