// Tivolan's resource identifiers, shared by the code and the resource scripts.
#pragma once

// Strings (the same numbers in every language).
#define IDS_APP_NAME 128
#define IDS_REPEAT_NOT_POSSIBLE 129
#define IDS_REPEAT_CONFIRM 130
#define IDS_TAB_HOME 131
#define IDS_TAB_SCHEDULE 132
#define IDS_TAB_OPTIONS 133
#define IDS_PRODUCT_PAGE_URL 134
#define IDS_ACTION_NAME_FIRST 135  // + action, for ShutDown..LockWindows (135-141)
#define IDS_ACTION_NAME_SHUT_DOWN 135
#define IDS_ACTION_NAME_RESTART 136
#define IDS_ACTION_NAME_SLEEP 137
#define IDS_ACTION_NAME_HIBERNATE 138
#define IDS_ACTION_NAME_DISPLAY_OFF 139
#define IDS_ACTION_NAME_SCREEN_SAVER 140
#define IDS_ACTION_NAME_LOCK_WINDOWS 141
#define IDS_ACTION_DESCRIPTION_FIRST 142  // + action, for ShutDown..LockWindows (142-148)
#define IDS_ACTION_DESCRIPTION_SHUT_DOWN 142
#define IDS_ACTION_DESCRIPTION_RESTART 143
#define IDS_ACTION_DESCRIPTION_SLEEP 144
#define IDS_ACTION_DESCRIPTION_HIBERNATE 145
#define IDS_ACTION_DESCRIPTION_DISPLAY_OFF 146
#define IDS_ACTION_DESCRIPTION_SCREEN_SAVER 147
#define IDS_ACTION_DESCRIPTION_LOCK_WINDOWS 148
#define IDS_REPEAT_EVERY_HOURS_MINUTES 149
#define IDS_REPEAT_EVERY_MINUTES 150
#define IDS_REPEAT_DAILY_AT 151
#define IDS_REPEAT_NONE 152
#define IDS_COLUMN_TIME 153
#define IDS_COLUMN_TASK 154
#define IDS_COLUMN_REPEAT 155
#define IDS_NOTICE_ONE_MINUTE 156
#define IDS_NOTICE_MINUTES 157
#define IDS_NOTICE_ONE_HOUR 158
#define IDS_NOTICE_HOURS 159
// 160 is not used.
#define IDS_CONFIRM_SHUT_DOWN 161
#define IDS_CONFIRM_RESTART 162
#define IDS_CONFIRM_HIBERNATE 163
#define IDS_COUNTDOWN_SHUT_DOWN 164  // "%d %s": seconds left and the unit (171 or 172)
#define IDS_COUNTDOWN_RESTART 165
#define IDS_COUNTDOWN_HIBERNATE 166
#define IDS_UNIT_HOUR 167
#define IDS_UNIT_HOURS 168
#define IDS_UNIT_MIN 169
#define IDS_UNIT_MINS 170
#define IDS_UNIT_SECOND 171
#define IDS_UNIT_SECONDS 172
#define IDS_LANGUAGE_CODE 173
#define IDS_UPDATE_QUESTION 174
#define IDS_UPDATE_NOT_INSTALLED 175
#define IDS_UPDATE_LOAD_FAILED 176
#define IDS_UPDATE_UP_TO_DATE 177
#define IDS_NOTICE_AT 178
// 179 is not used.
#define IDS_UPDATE_NOTICE 180
#define IDS_UPDATE_DOWNLOAD_LINK 181
#define IDS_START_NOTICE 182
#define IDS_ACTION_NAME_ALARM 183
#define IDS_ACTION_NAME_RUN 184
#define IDS_ACTION_DESCRIPTION_ALARM 185
#define IDS_ACTION_DESCRIPTION_RUN 186
#define IDS_RUN_FILTER 187  // file-dialog filter: each "|" becomes a NUL
#define IDS_SOUND_NONE 188
#define IDS_SOUND_DEFAULT 189
#define IDS_AM 190
#define IDS_PM 191
#define IDS_BROWSE_SOUND_TITLE 192
#define IDS_SOUND_FILTER 193  // file-dialog filter: each "|" becomes a NUL
#define IDS_LANGUAGE_RESTART_NOTICE 194

// Icon groups, stored in this order so that the icon index of action n is n + 1.
#define IDI_APP 128
#define IDI_ACTION_FIRST 150  // + action, for ShutDown..LockWindows (150-156)
#define IDI_ACTION_ALARM 209
#define IDI_ACTION_RUN 210

// Dialogs. The pages (202-204) are child dialogs of the main window's tab view.
#define IDD_MAIN 129
#define IDD_HOME 202
#define IDD_SCHEDULE 203
#define IDD_OPTIONS 204
#define IDD_TIMEOUT 205
#define IDD_SET_ALARM 206

// The tray menu: its first popup is the menu the notification-area icon shows.
#define IDR_TRAY_MENU 201

// Controls (the same numbers in every language's dialogs).
#ifndef IDC_STATIC
#define IDC_STATIC (-1)  // labels and lines the code never reaches
#endif
#define IDC_ACTION_LIST 1000        // home: the actions, item data = PowerAction
#define IDC_FORCE_IF_HUNG 1008      // options
#define IDC_AMPM 1010               // home: 0 = AM, 1 = PM
#define IDC_DESKTOP_SHORTCUT 1011   // home
#define IDC_PIN_TO_TASKBAR 1012     // home
#define IDC_AFTER_HOURS 1013        // home: hours of the countdown
#define IDC_AFTER_MINUTES 1014      // home: minutes of the countdown
#define IDC_KIND_AFTER 1015         // home: first radio button of the time kind (TimeKind::After)
#define IDC_KIND_AT 1016            // home: second radio button (TimeKind::At)
#define IDC_AT_HOUR 1017            // home: hour of the clock time, 1-12
#define IDC_AT_MINUTE 1018          // home: minutes of the clock time
#define IDC_SCHEDULE_REPEAT 1019    // home
#define IDC_SCHEDULE_LIST 1020      // schedule: the list view
#define IDC_DELETE 1021             // schedule
#define IDC_RUN_AT_LOG_ON 1022      // options
#define IDC_CONFIRM 1029            // options
#define IDC_CONFIRM_QUESTION 1030   // confirmation: drawn in bold
#define IDC_CONFIRM_COUNTDOWN 1031  // confirmation
#define IDC_ACTION_ICON 1032        // home and confirmation
#define IDC_ABOUT_LINK 1033         // main window: the link line
#define IDC_ALARM_MESSAGE 1034      // alarm message: the edit box
#define IDC_SOUND_LIST 1036         // options
#define IDC_PLAY_SOUND 1037         // options: the preview button
#define IDC_BROWSE_SOUND 1038       // options

// Commands of the tray menu.
#define ID_TRAY_OPEN 32775
#define ID_TRAY_HOMEPAGE 32776
#define ID_TRAY_EXIT 32777
#define ID_TRAY_ACTION_FIRST 32778  // + action, for ShutDown..LockWindows (32778-32784)
#define ID_TRAY_SHUT_DOWN 32778
#define ID_TRAY_RESTART 32779
#define ID_TRAY_SLEEP 32780
#define ID_TRAY_HIBERNATE 32781
#define ID_TRAY_DISPLAY_OFF 32782
#define ID_TRAY_SCREEN_SAVER 32783
#define ID_TRAY_LOCK_WINDOWS 32784
#define ID_TRAY_ACTION_LAST 32784
#define ID_LANG_SYSTEM 32785
#define ID_LANG_KOREAN 32786
#define ID_LANG_ENGLISH 32787
#define ID_LANG_GREEK 32788
#define ID_LANG_LAST_RADIO 32800  // the language radio group spans ID_LANG_SYSTEM to this
#define ID_CHECK_UPDATE 32801

// Images. Bitmap 206 holds the tray menu's action images, one 16 x 16 image per command of the
// toolbar resource of the same number; bitmap 208 the toast's close glyph (10 x 10 images).
#define IDI_ACTION_SHUT_DOWN 150
#define IDI_ACTION_RESTART 151
#define IDI_ACTION_SLEEP 152
#define IDI_ACTION_HIBERNATE 153
#define IDI_ACTION_DISPLAY_OFF 154
#define IDI_ACTION_SCREEN_SAVER 155
#define IDI_ACTION_LOCK_WINDOWS 156
#define IDB_MENU_IMAGES 206
#define IDR_MENU_IMAGES 206
#define IDB_CLOSE_GLYPH 208
#define CLOSE_GLYPH_WIDTH 10
// The toolbar resource type, as 16-bit words: version 1, image width, image height, command count,
// then the commands in image order. <windows.h> does not name the type.
#define RT_TOOLBAR_DATA 241
