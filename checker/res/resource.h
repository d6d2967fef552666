// QPChkUpd2's resource identifiers and its window-message, timer and control numbers, shared by the
// code and the resource scripts.
#pragma once

// Strings (the same numbers in English and Korean).
#define IDS_CHECK_FAILED 1            // the version document could not be had from any endpoint
#define IDS_LATEST_INSTALLED 2        // nothing newer is offered
#define IDS_INSTALLED_UNKNOWN 3       // the pack's uninstall entry cannot be read
#define IDS_DOWNLOAD_NOT_STARTED 4    // the download's worker could not be started
#define IDS_DOWNLOAD_FAILED 5         // the download failed and was cleaned up
#define IDS_CANCEL_UPDATE_QUESTION 6  // Yes/No while a download runs
#define IDS_MESSAGE_TITLE 57344       // the title of every message box and dialog
#define IDS_MESSAGE_TITLE_X64 57345   // kept for the 64-bit pack's builds; no code loads it

// The program icon (nine images).
#define IDI_QPCHKUPD 128

// Dialogs.
#define IDD_QPUPDATE 102
#define IDD_QPCHECK 129
#define IDD_CONFIG 130

// Controls.
#ifndef IDC_STATIC
#define IDC_STATIC (-1)  // labels and the icon, which the code never reaches
#endif
#define IDC_OFFERED_ITEMS 1000      // update dialog: the drop-down list of downloads and pages
#define IDC_DOWNLOAD_PROGRESS 1001  // update dialog: in the list's place while a download runs
#define IDC_INSTALLED_VERSION 1004  // check and update dialogs
#define IDC_NEW_VERSION 1005        // update dialog
#define IDC_REMIND_TOMORROW 1005    // reminder dialog: first of the group
#define IDC_REMIND_WEEK 1006
#define IDC_REMIND_MONTH 1007

// The background window's timers and the update dialog's progress timer.
#define IDT_START_CHECK 10
#define IDT_CLOSE_WHEN_DONE 11
#define IDT_DOWNLOAD_PROGRESS 111

// Posted by the background check to the hidden window when a new version is to be announced.
#define WM_QP_NEWVERSION (WM_USER + 20)
