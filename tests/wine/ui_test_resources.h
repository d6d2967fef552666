// Identifiers of the window framework tests' own resources.
#pragma once

#define IDD_UI_TEST 100
#define IDR_UI_TEST_MENU 100
#define IDC_UI_TEST_EDIT 1001
#define IDC_UI_TEST_LABEL 1002
#define IDM_UI_TEST_FIRST 2001
#define IDR_UI_TEST_KOREAN_ONLY 101
