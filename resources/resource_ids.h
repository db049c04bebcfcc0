// Resource and control identifiers of PLYX. Shared by the .rc scripts and the code.
#pragma once

// Resources
#define IDI_PLYX 103
#define IDD_ABOUT 105
#define IDD_PREF_DIRECTORY 107
#define IDD_PREF_GENERAL 109
#define IDA_SPLIT_CLIP 112
#define IDD_PROGRESS 113
// The main and custom-size dialogs are named templates: "PLYX" and "CUSTOMSIZE".

// Main dialog "PLYX"
#define IDC_ABOUT 1000
#define IDC_SPLIT 1001
#define IDC_HELP_BUTTON 1002
#define IDC_BROWSE_FILE 1003
#define IDC_BROWSE_FOLDER 1004
#define IDC_SOURCE_FILE 1005
#define IDC_SIZE_LIST 1007
#define IDC_CLOSE 1008
#define IDC_FILE_SIZE_TEXT 1009
#define IDC_PART_COUNT_TEXT 1010
#define IDC_SPLIT_SIZE_TEXT 1011
#define IDC_CUSTOMIZE 1013
#define IDC_DEST_FOLDER 1022

// Preferences pages 107 "Directory" and 109 "General"
#define IDC_PREF_SAME_AS_SOURCE 1016
#define IDC_PREF_USE_HISTORY 1017
#define IDC_PREF_LIMIT 1019
#define IDC_PREF_TRAY 1020
#define IDC_PREF_SHELL 1022
#define IDC_PREF_TOOLTIPS 1023

// Custom-size dialog "CUSTOMSIZE" (OK is IDOK, 1)
#define IDC_CUSTOM_BYTES 1010
#define IDC_CUSTOM_LABEL 1011
#define IDC_CUSTOM_CANCEL 1012

// Progress dialog 113
#define IDC_PROGRESS_ANIMATION 1001
#define IDC_PROGRESS_BAR 1002
#define IDC_PROGRESS_CANCEL 1027
#define IDC_PROGRESS_STATUS 1028

// String table: the tooltip texts of the main window's controls
#define IDS_TIP_SOURCE_FILE 1
#define IDS_TIP_BROWSE_FILE 2
#define IDS_TIP_DEST_FOLDER 3
#define IDS_TIP_BROWSE_FOLDER 4
#define IDS_TIP_SIZE_LIST 5
#define IDS_TIP_SPLIT 6
#define IDS_TIP_CUSTOMIZE 7
#define IDS_TIP_CLOSE 8
#define IDS_TIP_ABOUT 9
#define IDS_TIP_HELP 10
#define IDS_TIP_FILE_SIZE 11
#define IDS_TIP_PART_COUNT 12
#define IDS_TIP_SPLIT_SIZE 13

// Message of the notification-area icon (WM_USER + 1000)
#define WM_PLYX_TRAY 2024
// Tag of the command-line hand-over in WM_COPYDATA
#define PLYX_HANDOVER_TAG 0x12345678
