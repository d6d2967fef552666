#pragma once

// Reads an extended dialog template (DLGTEMPLATEEX) as a resource script writes it, so the tests can
// check a dialog's controls without creating it.

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

// A name-or-ordinal field of a template: a class, a control text or an icon resource.
struct TemplateName {
    std::wstring text;
    WORD ordinal = 0;  // non-zero when the field is an ordinal
};

struct TemplateControl {
    DWORD exStyle = 0;
    DWORD style = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    DWORD id = 0;
    TemplateName windowClass;  // ordinal 0x80 button, 0x81 edit, 0x82 static, 0x85 combo box
    TemplateName text;
};

struct DialogTemplate {
    DWORD exStyle = 0;
    DWORD style = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    std::wstring caption;
    WORD pointSize = 0;
    WORD weight = 0;
    std::wstring typeface;
    std::vector<TemplateControl> controls;

    const TemplateControl* Find(DWORD id) const;
};

// Nothing when the bytes are not an extended template or end before the template does.
std::optional<DialogTemplate> ParseDialogTemplate(const void* data, size_t size);
