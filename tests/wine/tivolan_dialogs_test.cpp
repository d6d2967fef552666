// Tivolan's dialogs (scheduler/res/dialogs.rc) as compiled into this executable: every template in
// each of the three languages, its controls and English texts, then each dialog created from the
// language's own template and every text measured against the room its control has.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "common/platform/resource_string_table_win.h"
#include "common/text/format.h"
#include "dialog_template.h"
#include "scheduler/res/resource.h"
#include "tivolan_resource_support.h"

namespace {

enum class Kind {
    PushButton,
    DefaultButton,
    CheckBox,
    Radio,
    Text,
    Icon,
    Line,
    Edit,
    DropDownList,
    DropDown,
    ListView,
    Other
};

Kind KindOf(const TemplateControl& control) {
    if (control.windowClass.ordinal == 0x80) {
        switch (control.style & BS_TYPEMASK) {
            case BS_PUSHBUTTON:
                return Kind::PushButton;
            case BS_DEFPUSHBUTTON:
                return Kind::DefaultButton;
            case BS_AUTOCHECKBOX:
                return Kind::CheckBox;
            case BS_AUTORADIOBUTTON:
                return Kind::Radio;
        }
    } else if (control.windowClass.ordinal == 0x81) {
        return Kind::Edit;
    } else if (control.windowClass.ordinal == 0x82) {
        switch (control.style & SS_TYPEMASK) {
            case SS_ICON:
                return Kind::Icon;
            case SS_ETCHEDHORZ:
                return Kind::Line;
            case SS_LEFT:
            case SS_CENTER:
            case SS_RIGHT:
                return Kind::Text;
        }
    } else if (control.windowClass.ordinal == 0x85) {
        if ((control.style & 3) == CBS_DROPDOWNLIST)
            return Kind::DropDownList;
        if ((control.style & 3) == CBS_DROPDOWN)
            return Kind::DropDown;
    } else if (_wcsicmp(control.windowClass.text.c_str(), WC_LISTVIEWW) == 0) {
        return Kind::ListView;
    }
    return Kind::Other;
}

struct ExpectedControl {
    UINT dialog;
    DWORD id;
    Kind kind;
};

// Every control the code reaches by number.
const ExpectedControl kControls[] = {
    {IDD_MAIN, IDC_ABOUT_LINK, Kind::Text},
    {IDD_HOME, IDC_ACTION_ICON, Kind::Icon},
    {IDD_HOME, IDC_ACTION_LIST, Kind::DropDownList},
    {IDD_HOME, IDC_KIND_AFTER, Kind::Radio},
    {IDD_HOME, IDC_AFTER_HOURS, Kind::DropDown},
    {IDD_HOME, IDC_AFTER_MINUTES, Kind::DropDown},
    {IDD_HOME, IDC_KIND_AT, Kind::Radio},
    {IDD_HOME, IDC_AT_HOUR, Kind::DropDown},
    {IDD_HOME, IDC_AT_MINUTE, Kind::DropDown},
    {IDD_HOME, IDC_AMPM, Kind::DropDownList},
    {IDD_HOME, IDOK, Kind::DefaultButton},
    {IDD_HOME, IDC_SCHEDULE_REPEAT, Kind::PushButton},
    {IDD_HOME, IDC_PIN_TO_TASKBAR, Kind::PushButton},
    {IDD_HOME, IDC_DESKTOP_SHORTCUT, Kind::PushButton},
    {IDD_SCHEDULE, IDC_SCHEDULE_LIST, Kind::ListView},
    {IDD_SCHEDULE, IDC_DELETE, Kind::PushButton},
    {IDD_OPTIONS, IDC_RUN_AT_LOG_ON, Kind::CheckBox},
    {IDD_OPTIONS, IDC_CONFIRM, Kind::CheckBox},
    {IDD_OPTIONS, IDC_FORCE_IF_HUNG, Kind::CheckBox},
    {IDD_OPTIONS, IDC_SOUND_LIST, Kind::DropDownList},
    {IDD_OPTIONS, IDC_PLAY_SOUND, Kind::PushButton},
    {IDD_OPTIONS, IDC_BROWSE_SOUND, Kind::PushButton},
    {IDD_TIMEOUT, IDC_ACTION_ICON, Kind::Icon},
    {IDD_TIMEOUT, IDC_CONFIRM_QUESTION, Kind::Text},
    {IDD_TIMEOUT, IDC_CONFIRM_COUNTDOWN, Kind::Text},
    {IDD_TIMEOUT, IDOK, Kind::DefaultButton},
    {IDD_TIMEOUT, IDCANCEL, Kind::PushButton},
    {IDD_SET_ALARM, IDC_ALARM_MESSAGE, Kind::Edit},
    {IDD_SET_ALARM, IDOK, Kind::DefaultButton},
    {IDD_SET_ALARM, IDCANCEL, Kind::PushButton},
};

struct ExpectedText {
    UINT dialog;
    int id;  // IDC_STATIC: the labels, in template order
    const wchar_t* text;
};

const ExpectedText kEnglishTexts[] = {
    {IDD_MAIN, IDC_ABOUT_LINK, L"About Tivolan"},
    {IDD_HOME, IDC_KIND_AFTER, L"after"},
    {IDD_HOME, IDC_STATIC, L"hour(s)"},
    {IDD_HOME, IDC_STATIC, L"minute(s)."},
    {IDD_HOME, IDC_KIND_AT, L"at"},
    {IDD_HOME, IDC_STATIC, L":"},
    {IDD_HOME, IDC_STATIC, L"."},
    {IDD_HOME, IDOK, L"&Start"},
    {IDD_HOME, IDC_SCHEDULE_REPEAT, L"Schedule &Repeat"},
    {IDD_HOME, IDC_PIN_TO_TASKBAR, L"Pin to &Taskbar"},
    {IDD_HOME, IDC_DESKTOP_SHORTCUT, L"Create a Shortcut on the &Desktop"},
    {IDD_SCHEDULE, IDC_DELETE, L"&Delete"},
    {IDD_OPTIONS, IDC_RUN_AT_LOG_ON, L"&Automatically run when Windows starts."},
    {IDD_OPTIONS, IDC_CONFIRM, L"&Confirm when shut down or restart Windows."},
    {IDD_OPTIONS, IDC_FORCE_IF_HUNG, L"&Force processes to terminate if they do not respond."},
    {IDD_OPTIONS, IDC_STATIC, L"* When processes are forced to terminate, you may lose data."},
    {IDD_OPTIONS, IDC_STATIC, L"Alarm Sound:"},
    {IDD_OPTIONS, IDC_PLAY_SOUND, L"\u25B6"},
    {IDD_OPTIONS, IDC_BROWSE_SOUND, L"&Browse..."},
    {IDD_TIMEOUT, IDCANCEL, L"&Cancel"},
    {IDD_TIMEOUT, IDOK, L"&Shut down"},
    {IDD_SET_ALARM, IDC_STATIC, L"Enter an alarm message."},
    {IDD_SET_ALARM, IDOK, L"&OK"},
    {IDD_SET_ALARM, IDCANCEL, L"&Cancel"},
};

std::wstring Where(UINT dialog, LANGID language) {
    return L"dialog " + std::to_wstring(dialog) + L", language " + LanguageName(language);
}

DialogTemplate TemplateOf(UINT dialog, LANGID language) {
    const auto raw = ExactResource(RT_DIALOG, dialog, language);
    if (!raw)
        return {};
    return ParseDialogTemplate(raw->data, raw->size).value_or(DialogTemplate{});
}

TEST(TivolanDialogTemplates, EveryDialogAndTheMenuExistInExactlyTheThreeLanguages) {
    const std::vector<LANGID> expected = {kGreek, kEnglish, kKorean};
    for (const UINT dialog : kDialogs) {
        EXPECT_EQ(LanguagesOf(RT_DIALOG, dialog), expected) << "dialog " << dialog;
        for (const LANGID language : kLanguages) {
            const auto raw = ExactResource(RT_DIALOG, dialog, language);
            ASSERT_TRUE(raw) << Where(dialog, language);
            EXPECT_TRUE(ParseDialogTemplate(raw->data, raw->size)) << Where(dialog, language);
        }
    }
    EXPECT_EQ(LanguagesOf(RT_MENU, IDR_TRAY_MENU), expected);
}

TEST(TivolanDialogTemplates, FramesFontsAndSizes) {
    struct Frame {
        UINT dialog;
        short cx, cy;  // 0: left to the layout
        bool page;
    };
    const Frame frames[] = {
        {IDD_MAIN, 300, 162, false},   {IDD_HOME, 288, 127, true}, {IDD_SCHEDULE, 288, 126, true},
        {IDD_OPTIONS, 288, 126, true}, {IDD_TIMEOUT, 0, 0, false}, {IDD_SET_ALARM, 263, 71, false},
    };
    for (const Frame& frame : frames) {
        for (const LANGID language : kLanguages) {
            SCOPED_TRACE(Where(frame.dialog, language));
            const DialogTemplate dialog = TemplateOf(frame.dialog, language);
            if (frame.cx) {
                EXPECT_EQ(dialog.cx, frame.cx);
                EXPECT_EQ(dialog.cy, frame.cy);
            }
            EXPECT_EQ(dialog.style & DS_SHELLFONT, static_cast<DWORD>(DS_SHELLFONT));
            EXPECT_EQ(dialog.typeface, L"MS Shell Dlg");
            EXPECT_EQ(dialog.pointSize, 8);
            EXPECT_FALSE(dialog.style & WS_VISIBLE) << "every dialog is created hidden";
            EXPECT_FALSE(dialog.style & (WS_THICKFRAME | WS_MAXIMIZEBOX));
            if (frame.page) {
                EXPECT_EQ(dialog.style & (DS_CONTROL | WS_CHILD), static_cast<DWORD>(DS_CONTROL | WS_CHILD));
                EXPECT_FALSE(dialog.style & (WS_CAPTION | WS_POPUP));
            } else {
                EXPECT_EQ(dialog.style & (WS_POPUP | WS_CAPTION | WS_SYSMENU),
                          static_cast<DWORD>(WS_POPUP | WS_CAPTION | WS_SYSMENU));
                EXPECT_EQ(dialog.caption, L"Tivolan");
            }
        }
    }
    for (const LANGID language : kLanguages) {
        EXPECT_TRUE(TemplateOf(IDD_MAIN, language).style & WS_MINIMIZEBOX);
        EXPECT_TRUE(TemplateOf(IDD_SET_ALARM, language).style & DS_CENTER);
    }
}

TEST(TivolanDialogTemplates, EveryLanguageHasTheControlsTheCodeUses) {
    for (const ExpectedControl& expected : kControls) {
        for (const LANGID language : kLanguages) {
            const DialogTemplate dialog = TemplateOf(expected.dialog, language);
            const TemplateControl* control = dialog.Find(expected.id);
            ASSERT_NE(control, nullptr) << Where(expected.dialog, language) << ", control " << expected.id;
            EXPECT_EQ(KindOf(*control), expected.kind)
                << Where(expected.dialog, language) << ", control " << expected.id;
        }
    }
    // The same controls in the same order everywhere, so the tab order is the same too.
    for (const UINT id : kDialogs) {
        std::vector<DWORD> english;
        for (const TemplateControl& control : TemplateOf(id, kEnglish).controls)
            english.push_back(control.id);
        for (const LANGID language : {kKorean, kGreek}) {
            std::vector<DWORD> ids;
            for (const TemplateControl& control : TemplateOf(id, language).controls)
                ids.push_back(control.id);
            EXPECT_EQ(ids, english) << Where(id, language);
        }
    }
}

TEST(TivolanDialogTemplates, EnglishTextsAreExact) {
    std::map<UINT, size_t> labelsSeen;
    for (const ExpectedText& expected : kEnglishTexts) {
        const DialogTemplate dialog = TemplateOf(expected.dialog, kEnglish);
        if (expected.id != IDC_STATIC) {
            const TemplateControl* control = dialog.Find(expected.id);
            ASSERT_NE(control, nullptr) << expected.id;
            EXPECT_EQ(control->text.text, expected.text)
                << "dialog " << expected.dialog << ", control " << expected.id;
            continue;
        }
        std::vector<std::wstring> labels;
        for (const TemplateControl& control : dialog.controls) {
            if (control.id == static_cast<DWORD>(IDC_STATIC) && KindOf(control) == Kind::Text)
                labels.push_back(control.text.text);
        }
        const size_t index = labelsSeen[expected.dialog]++;
        ASSERT_LT(index, labels.size()) << "dialog " << expected.dialog;
        EXPECT_EQ(labels[index], expected.text) << "dialog " << expected.dialog << ", label " << index;
    }
    // No label beyond those listed.
    for (const UINT id : kDialogs) {
        size_t labels = 0;
        for (const TemplateControl& control : TemplateOf(id, kEnglish).controls)
            labels += control.id == static_cast<DWORD>(IDC_STATIC) && KindOf(control) == Kind::Text;
        EXPECT_EQ(labels, labelsSeen[id]) << "dialog " << id;
    }
}

TEST(TivolanDialogTemplates, PlacesAndStylesTheCodeAndTheDescriptionFix) {
    const DialogTemplate english = TemplateOf(IDD_MAIN, kEnglish);
    const TemplateControl* link = english.Find(IDC_ABOUT_LINK);
    ASSERT_NE(link, nullptr);
    EXPECT_EQ((std::vector<short>{link->x, link->y, link->cx, link->cy}),
              (std::vector<short>{240, 150, 48, 8}));
    for (const LANGID language : kLanguages) {
        SCOPED_TRACE(LanguageName(language));
        const DialogTemplate main = TemplateOf(IDD_MAIN, language);
        const TemplateControl* about = main.Find(IDC_ABOUT_LINK);
        ASSERT_NE(about, nullptr);
        EXPECT_TRUE(about->style & SS_NOTIFY) << "the link line reports clicks";
        EXPECT_EQ(about->y, 150);

        const DialogTemplate schedule = TemplateOf(IDD_SCHEDULE, language);
        const TemplateControl* list = schedule.Find(IDC_SCHEDULE_LIST);
        const TemplateControl* remove = schedule.Find(IDC_DELETE);
        ASSERT_TRUE(list && remove);
        const DWORD listStyle = LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_BORDER;
        EXPECT_EQ(list->style & (listStyle | LVS_TYPEMASK), listStyle);
        EXPECT_EQ((std::vector<short>{list->x, list->y, list->cx, list->cy}),
                  (std::vector<short>{7, 7, 274, 95}));
        EXPECT_EQ((std::vector<short>{remove->x, remove->y, remove->cx, remove->cy}),
                  (std::vector<short>{7, 105, 50, 14}));

        const DialogTemplate options = TemplateOf(IDD_OPTIONS, language);
        const TemplateControl* play = options.Find(IDC_PLAY_SOUND);
        ASSERT_NE(play, nullptr);
        EXPECT_EQ(play->cx, 17);
        EXPECT_EQ(play->cy, 15);

        const DialogTemplate alarm = TemplateOf(IDD_SET_ALARM, language);
        const TemplateControl* edit = alarm.Find(IDC_ALARM_MESSAGE);
        ASSERT_NE(edit, nullptr);
        EXPECT_TRUE(edit->style & ES_AUTOHSCROLL);
        const bool alarmIcon = std::any_of(alarm.controls.begin(), alarm.controls.end(), [](const auto& c) {
            return KindOf(c) == Kind::Icon && c.text.ordinal == IDI_ACTION_ALARM;
        });
        EXPECT_TRUE(alarmIcon);

        const DialogTemplate home = TemplateOf(IDD_HOME, language);
        const auto lines = std::count_if(home.controls.begin(), home.controls.end(),
                                         [](const auto& c) { return KindOf(c) == Kind::Line; });
        EXPECT_EQ(lines, 2);
    }
}

// Radio buttons toggle each other and are read by index only within one group, so "at" must
// stand right after "after" and the control after it must open the next group.
TEST(TivolanDialogTemplates, TheTwoTimeKindsFormOneGroup) {
    for (const LANGID language : kLanguages) {
        SCOPED_TRACE(LanguageName(language));
        const DialogTemplate home = TemplateOf(IDD_HOME, language);
        size_t after = home.controls.size();
        for (size_t i = 0; i < home.controls.size(); ++i) {
            if (home.controls[i].id == IDC_KIND_AFTER)
                after = i;
        }
        ASSERT_LT(after + 2, home.controls.size());
        EXPECT_TRUE(home.controls[after].style & WS_GROUP);
        EXPECT_EQ(home.controls[after + 1].id, static_cast<DWORD>(IDC_KIND_AT));
        EXPECT_FALSE(home.controls[after + 1].style & WS_GROUP);
        EXPECT_TRUE(home.controls[after + 2].style & WS_GROUP);
        EXPECT_TRUE(home.Find(IDC_AFTER_HOURS)->style & WS_GROUP);
    }
}

// The letters after "&" in a dialog's texts, lower-cased; a repeated one would make Alt+letter
// reach only the first of its controls.
TEST(TivolanDialogTemplates, AccessKeysAreUniqueWithinEachDialog) {
    for (const UINT id : kDialogs) {
        for (const LANGID language : kLanguages) {
            std::multiset<wchar_t> keys;
            for (const TemplateControl& control : TemplateOf(id, language).controls) {
                if (KindOf(control) == Kind::Text && (control.style & SS_NOPREFIX))
                    continue;
                if (const wchar_t key = AccessKey(control.text.text))
                    keys.insert(key);
            }
            for (const wchar_t key : keys)
                EXPECT_EQ(keys.count(key), 1u)
                    << Where(id, language) << ": access key " << std::wstring(1, key);
        }
    }
}

class CreatedDialogs : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&controls);
    }
};

TEST_F(CreatedDialogs, EveryLanguagesTemplateCreatesItsDialog) {
    for (const UINT id : kDialogs) {
        for (const LANGID language : kLanguages) {
            CCreatedDialog dialog(id, language);
            ASSERT_TRUE(dialog.Handle()) << Where(id, language) << ", error " << GetLastError();
            EXPECT_FALSE(IsWindowVisible(dialog.Handle()));
            for (const ExpectedControl& expected : kControls) {
                if (expected.dialog == id) {
                    EXPECT_TRUE(GetDlgItem(dialog.Handle(), expected.id)) << Where(id, language);
                }
            }
        }
    }
}

TEST_F(CreatedDialogs, ClickingAtUnchecksAfter) {
    for (const LANGID language : kLanguages) {
        CCreatedDialog home(IDD_HOME, language);
        ASSERT_TRUE(home.Handle());
        const HWND after = GetDlgItem(home.Handle(), IDC_KIND_AFTER);
        std::set<HWND> group;
        HWND item = after;
        do {
            group.insert(item);
            item = GetNextDlgGroupItem(home.Handle(), item, FALSE);
        } while (item && item != after && group.size() < 64);
        EXPECT_EQ(group, (std::set<HWND>{after, GetDlgItem(home.Handle(), IDC_KIND_AT)}))
            << LanguageName(language);

        SendDlgItemMessageW(home.Handle(), IDC_KIND_AFTER, BM_SETCHECK, BST_CHECKED, 0);
        SendDlgItemMessageW(home.Handle(), IDC_KIND_AT, BM_CLICK, 0, 0);
        EXPECT_EQ(IsDlgButtonChecked(home.Handle(), IDC_KIND_AT), BST_CHECKED) << LanguageName(language);
        EXPECT_EQ(IsDlgButtonChecked(home.Handle(), IDC_KIND_AFTER), BST_UNCHECKED) << LanguageName(language);
    }
}

// The longest texts the code puts into a dialog's lists and statics at run time.
void FillAsTheCodeDoes(HWND dialog, UINT id, LANGID language) {
    const CResourceStringTable strings(nullptr, language);
    auto add = [&](int control, UINT text) {
        SendDlgItemMessageW(dialog, control, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(strings.Load(text).c_str()));
    };
    if (id == IDD_HOME) {
        for (UINT text = IDS_ACTION_DESCRIPTION_SHUT_DOWN; text <= IDS_ACTION_DESCRIPTION_LOCK_WINDOWS;
             ++text)
            add(IDC_ACTION_LIST, text);
        add(IDC_ACTION_LIST, IDS_ACTION_DESCRIPTION_ALARM);
        add(IDC_ACTION_LIST, IDS_ACTION_DESCRIPTION_RUN);
        add(IDC_AMPM, IDS_AM);
        add(IDC_AMPM, IDS_PM);
        for (const int box : {IDC_AFTER_HOURS, IDC_AFTER_MINUTES, IDC_AT_HOUR, IDC_AT_MINUTE})
            SetDlgItemTextW(dialog, box, L"999");
    } else if (id == IDD_OPTIONS) {
        add(IDC_SOUND_LIST, IDS_SOUND_NONE);
        add(IDC_SOUND_LIST, IDS_SOUND_DEFAULT);
    }
}

TEST_F(CreatedDialogs, NoTextIsClipped) {
    for (const UINT id : kDialogs) {
        for (const LANGID language : kLanguages) {
            CCreatedDialog dialog(id, language);
            ASSERT_TRUE(dialog.Handle()) << Where(id, language);
            FillAsTheCodeDoes(dialog.Handle(), id, language);
            for (const std::wstring& clipped : ClippedTexts(dialog.Handle()))
                ADD_FAILURE() << Where(id, language) << ": " << clipped;
        }
    }
}

// The confirmation's question (in bold, as the dialog draws it) and countdown line for each action
// it confirms, with the widest count and unit.
TEST_F(CreatedDialogs, TheConfirmationHoldsEveryQuestionAndCountdown) {
    const UINT questions[] = {IDS_CONFIRM_SHUT_DOWN, IDS_CONFIRM_RESTART, IDS_CONFIRM_HIBERNATE};
    const UINT countdowns[] = {IDS_COUNTDOWN_SHUT_DOWN, IDS_COUNTDOWN_RESTART, IDS_COUNTDOWN_HIBERNATE};
    for (const LANGID language : kLanguages) {
        const CResourceStringTable strings(nullptr, language);
        CCreatedDialog dialog(IDD_TIMEOUT, language);
        ASSERT_TRUE(dialog.Handle());
        const CBoldFont bold(dialog.Handle());
        SendDlgItemMessageW(dialog.Handle(), IDC_CONFIRM_QUESTION, WM_SETFONT,
                            reinterpret_cast<WPARAM>(bold.Handle()), FALSE);
        for (size_t action = 0; action < 3; ++action) {
            for (const UINT unit : {IDS_UNIT_SECOND, IDS_UNIT_SECONDS}) {
                SetDlgItemTextW(dialog.Handle(), IDC_CONFIRM_QUESTION,
                                strings.Load(questions[action]).c_str());
                const std::wstring line =
                    FormatText(strings.Load(countdowns[action]), {60, strings.Load(unit)});
                SetDlgItemTextW(dialog.Handle(), IDC_CONFIRM_COUNTDOWN, line.c_str());
                for (const std::wstring& clipped : ClippedTexts(dialog.Handle()))
                    ADD_FAILURE() << Where(IDD_TIMEOUT, language) << ": " << clipped;
            }
        }
    }
}

TEST_F(CreatedDialogs, ControlsStayInsideTheirDialogAndApart) {
    for (const UINT id : kDialogs) {
        for (const LANGID language : kLanguages) {
            CCreatedDialog dialog(id, language);
            ASSERT_TRUE(dialog.Handle());
            for (const std::wstring& fault : LayoutFaults(dialog.Handle()))
                ADD_FAILURE() << Where(id, language) << ": " << fault;
        }
    }
}

}  // namespace
