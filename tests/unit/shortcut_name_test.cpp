#include "scheduler/ui/shortcut_name.h"

#include <gtest/gtest.h>

namespace {

struct NameCase {
    const wchar_t* name;
    const wchar_t* expected;
};

TEST(ShortcutFileName, KeepsOrdinaryNames) {
    const NameCase cases[] = {
        {L"Shut down", L"Shut down"},
        {L"\uC2DC\uC2A4\uD15C \uC885\uB8CC", L"\uC2DC\uC2A4\uD15C \uC885\uB8CC"},
        {L"\u039A\u03BB\u03B5\u03AF\u03B4\u03C9\u03BC\u03B1",
         L"\u039A\u03BB\u03B5\u03AF\u03B4\u03C9\u03BC\u03B1"},
        {L"Tivolan", L"Tivolan"},
        // Names that merely start like a device are files like any other.
        {L"Console", L"Console"},
        {L"COM10", L"COM10"},
        {L"LPT0", L"LPT0"},
        {L"NULL", L"NULL"},
        {L"AUXILIARY.txt", L"AUXILIARY.txt"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ShortcutFileName(c.name), c.expected) << c.name;
}

TEST(ShortcutFileName, ReplacesWhatNoFileNameHolds) {
    const NameCase cases[] = {
        {L"On/Off", L"On_Off"},
        {L"a\\b", L"a_b"},
        {L"Time: 10", L"Time_ 10"},
        {L"<a>|\"b\"?*", L"_a___b___"},
        {L"line\nbreak\ttab\x1f", L"line_break_tab_"},
        // Separators gone, no name can climb out of the folder it is written to.
        {L"..\\..\\Startup\\run", L".._.._Startup_run"},
        {L"../x", L".._x"},
        {L"C:\\Windows\\evil", L"C__Windows_evil"},
        {L"\\\\server\\share", L"__server_share"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ShortcutFileName(c.name), c.expected) << c.name;
}

TEST(ShortcutFileName, NeverNamesADevice) {
    const NameCase cases[] = {
        {L"CON", L"_CON"},
        {L"con", L"_con"},
        {L"Prn", L"_Prn"},
        {L"AUX", L"_AUX"},
        {L"nul", L"_nul"},
        {L"COM1", L"_COM1"},
        {L"com9", L"_com9"},
        {L"LPT3", L"_LPT3"},
        // The extension and spaces before it do not make it a file.
        {L"NUL.txt", L"_NUL.txt"},
        {L"CON .x", L"_CON .x"},
        // A replaced character can make a device name too: "CON" followed by a control is not one.
        {L"CON\x01", L"CON_"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ShortcutFileName(c.name), c.expected) << c.name;
}

TEST(ShortcutFileName, EmptyNameGivesNothingToWrite) {
    EXPECT_EQ(ShortcutFileName(L""), L"");
}

}  // namespace
