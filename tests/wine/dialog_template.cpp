#include "dialog_template.h"

#include <cstring>

namespace {

class CTemplateReader {
  public:
    CTemplateReader(const BYTE* data, size_t size) : m_data(data), m_size(size) {}

    bool Ok() const { return m_ok; }

    template <typename T>
    T Read() {
        T value{};
        if (!Need(sizeof(T)))
            return value;
        std::memcpy(&value, m_data + m_position, sizeof(T));
        m_position += sizeof(T);
        return value;
    }

    std::wstring ReadString() {
        std::wstring text;
        for (;;) {
            const WORD unit = Read<WORD>();
            if (!m_ok || unit == 0)
                return text;
            text.push_back(static_cast<wchar_t>(unit));
        }
    }

    TemplateName ReadName() {
        TemplateName name;
        if (!Need(sizeof(WORD)))
            return name;
        WORD first;
        std::memcpy(&first, m_data + m_position, sizeof(first));
        if (first == 0xFFFF) {
            m_position += sizeof(WORD);
            name.ordinal = Read<WORD>();
        } else {
            name.text = ReadString();
        }
        return name;
    }

    void Skip(size_t count) {
        if (Need(count))
            m_position += count;
    }

    void AlignToDword() { Skip((4 - m_position % 4) % 4); }

  private:
    bool Need(size_t count) {
        if (m_ok && m_size - m_position >= count)
            return true;
        m_ok = false;
        return false;
    }

    const BYTE* m_data;
    size_t m_size;
    size_t m_position = 0;
    bool m_ok = true;
};

}  // namespace

const TemplateControl* DialogTemplate::Find(DWORD id) const {
    for (const TemplateControl& control : controls) {
        if (control.id == id)
            return &control;
    }
    return nullptr;
}

std::optional<DialogTemplate> ParseDialogTemplate(const void* data, size_t size) {
    if (!data)
        return std::nullopt;
    CTemplateReader reader(static_cast<const BYTE*>(data), size);
    if (reader.Read<WORD>() != 1 || reader.Read<WORD>() != 0xFFFF)
        return std::nullopt;
    DialogTemplate dialog;
    reader.Read<DWORD>();  // help id
    dialog.exStyle = reader.Read<DWORD>();
    dialog.style = reader.Read<DWORD>();
    const WORD count = reader.Read<WORD>();
    dialog.x = reader.Read<short>();
    dialog.y = reader.Read<short>();
    dialog.cx = reader.Read<short>();
    dialog.cy = reader.Read<short>();
    reader.ReadName();  // menu
    reader.ReadName();  // class
    dialog.caption = reader.ReadString();
    if (dialog.style & (DS_SETFONT | DS_SHELLFONT)) {
        dialog.pointSize = reader.Read<WORD>();
        dialog.weight = reader.Read<WORD>();
        reader.Read<BYTE>();  // italic
        reader.Read<BYTE>();  // character set
        dialog.typeface = reader.ReadString();
    }
    for (WORD i = 0; i < count && reader.Ok(); ++i) {
        reader.AlignToDword();
        TemplateControl control;
        reader.Read<DWORD>();  // help id
        control.exStyle = reader.Read<DWORD>();
        control.style = reader.Read<DWORD>();
        control.x = reader.Read<short>();
        control.y = reader.Read<short>();
        control.cx = reader.Read<short>();
        control.cy = reader.Read<short>();
        control.id = reader.Read<DWORD>();
        control.windowClass = reader.ReadName();
        // Resource compilers may keep a predefined class by name; the tests see the ordinal.
        const struct {
            const wchar_t* name;
            WORD ordinal;
        } predefined[] = {{L"Button", 0x80}, {L"Edit", 0x81}, {L"Static", 0x82}, {L"ComboBox", 0x85}};
        for (const auto& known : predefined) {
            if (!control.windowClass.ordinal && _wcsicmp(control.windowClass.text.c_str(), known.name) == 0) {
                control.windowClass = TemplateName{L"", known.ordinal};
            }
        }
        control.text = reader.ReadName();
        reader.Skip(reader.Read<WORD>());  // creation data
        dialog.controls.push_back(std::move(control));
    }
    if (!reader.Ok())
        return std::nullopt;
    return dialog;
}
