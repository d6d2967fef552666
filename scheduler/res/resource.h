// Tivolan's resource identifiers, shared by the code and the resource scripts.
#pragma once

// Strings (the same numbers in every language).
#define IDS_APP_NAME 128
#define IDS_REPEAT_NOT_POSSIBLE 129
#define IDS_REPEAT_CONFIRM 130
#define IDS_PRODUCT_PAGE_URL 134
#define IDS_ACTION_NAME_FIRST 135  // + action, for ShutDown..LockWindows (135-141)
#define IDS_ACTION_DESCRIPTION_FIRST 142  // + action, for ShutDown..LockWindows (142-148)
#define IDS_REPEAT_EVERY_HOURS_MINUTES 149
#define IDS_REPEAT_EVERY_MINUTES 150
#define IDS_REPEAT_DAILY_AT 151
#define IDS_REPEAT_NONE 152
#define IDS_NOTICE_ONE_MINUTE 156
#define IDS_NOTICE_MINUTES 157
#define IDS_NOTICE_ONE_HOUR 158
#define IDS_NOTICE_HOURS 159
#define IDS_UNIT_HOUR 167
#define IDS_UNIT_HOURS 168
#define IDS_UNIT_MIN 169
#define IDS_UNIT_MINS 170
#define IDS_UNIT_SECOND 171
#define IDS_UNIT_SECONDS 172
#define IDS_LANGUAGE_CODE 173
#define IDS_NOTICE_AT 178
#define IDS_ACTION_NAME_ALARM 183
#define IDS_ACTION_NAME_RUN 184
#define IDS_ACTION_DESCRIPTION_ALARM 185
#define IDS_ACTION_DESCRIPTION_RUN 186

// Icon groups, stored in this order so that the icon index of action n is n + 1.
#define IDI_APP 128
#define IDI_ACTION_FIRST 150  // + action, for ShutDown..LockWindows (150-156)
#define IDI_ACTION_ALARM 209
#define IDI_ACTION_RUN 210
