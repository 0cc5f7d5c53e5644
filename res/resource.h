// Resource ids shared by the .rc files and the code. The numbers are part of
// the program's make-up (templates, strings, bitmaps) and stay as they are.
#pragma once

// Dialog templates.
#define IDD_ABOUTBOX 100
#define IDD_MAIN 102
#define IDD_SCRIPT 132
#define IDD_REPEAT 135
#define IDD_CAPTURE 136

// String table.
#define IDS_ABOUTBOX 101
#define IDS_COLUMN_HOTKEY 104
#define IDS_COLUMN_ENABLED 105
#define IDS_COLUMN_DESCRIPTION 106
#define IDS_COLUMN_FILENAME 107
#define IDS_REPEAT_COUNT 113
#define IDS_REPEAT_UNTIL_STOP 114
#define IDS_REPEAT_SECONDS 115
#define IDS_DELETE_QUESTION 118
#define IDS_TRAY_TIP 119

// Icon, cursor and bitmaps.
#define IDR_MAINFRAME 128
#define IDB_LINK_BANNER 131
#define IDC_HAND_CURSOR 134
#define IDB_LOGO 137
#define IDB_MAKER_LOGO 141
#define IDB_BANNER 142

// Main window controls.
#define IDC_ADD 1000
#define IDC_MODIFY 1001
#define IDC_DELETE 1002
#define IDC_TOGGLE_VALID 1003
#define IDC_ALL_VALID 1004
#define IDC_ALL_INVALID 1005
#define IDC_MINIMIZE 1006
#define IDC_ABOUT 1007
#define IDC_HELP_BUTTON 1008
#define IDC_SCRIPT_LIST 1009
#define IDC_LINK_BANNER 1010
#define IDC_ALL_WINDOWS 1054
#define IDC_ONE_WINDOW 1055
#define IDC_WINDOW_COMBO 1056
#define IDC_REFRESH 1058
#define IDC_BROWSER 1061
#define IDC_WINDOW_LIST_LABEL 1062
#define IDC_MAKER_LOGO 1063
#define IDC_BANNER 1064

// System menu command of the about box.
#define IDM_ABOUTBOX 0x0010

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
