// Resource ids shared by the .rc files and the code. The numbers are part of
// the program's make-up (templates, strings, bitmaps) and stay as they are.
#pragma once

// Dialog templates.
#define IDD_ABOUTBOX 100
#define IDD_MAIN 102
#define IDD_SCRIPT 132
#define IDD_CAPTURE 135
#define IDD_REPEAT 136
#define IDD_RECORD 138

// String table.
#define IDS_ABOUTBOX 101
#define IDS_COLUMN_ACTION 102
#define IDS_COLUMN_COUNT 103
#define IDS_COLUMN_HOTKEY 104
#define IDS_COLUMN_ENABLED 105
#define IDS_COLUMN_DESCRIPTION 106
#define IDS_COLUMN_FILENAME 107
#define IDS_KIND_NAMES 108
#define IDS_MILLISECONDS 111
#define IDS_INPUT_ERROR 112
#define IDS_REPEAT_COUNT 113
#define IDS_REPEAT_UNTIL_STOP 114
#define IDS_REPEAT_SECONDS 115
#define IDS_DELETE_ACTION_QUESTION 116
#define IDS_NO_HOTKEY_OR_ACTIONS 117
#define IDS_DELETE_QUESTION 118
#define IDS_TRAY_TIP 119
#define IDS_SAVE_FAILED 120
#define IDS_UNREAD_LINES_QUESTION 121
#define IDS_STOP_NAME_TAKEN 122
#define IDS_RECORDING_TIP 126
#define IDS_RECORD_LEFT_OUT 127
#define IDS_RECORD_FULL 128
#define IDS_RECORD_NO_STOP_KEY 129
#define IDS_WHEEL_DIRECTIONS 130
#define IDS_RECORD_EXTRA 142
#define IDS_RECORD_MISSED 143
#define IDS_RECORD_NO_HOOK 144
#define IDS_SPEED_RANGE 145
// Points in the window in front (edition 1.1).
#define IDS_POINT_IN_WINDOW 160

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

// About box controls.
#define IDC_HOME_LINK 1059

// Script editor controls.
#define IDC_DESCRIPTION 1011
#define IDC_BEGIN_HOTKEY 1012
#define IDC_STOP_HOTKEY 1013
#define IDC_ACTION_LIST 1014
#define IDC_REPEAT_BUTTON 1015
#define IDC_DELETE_ACTION 1016
#define IDC_MOVE_UP 1017
#define IDC_MOVE_DOWN 1018
#define IDC_REPEAT_TEXT 1019
#define IDC_KEY_PICKER 1020
#define IDC_INSERT_KEY 1021
#define IDC_KEY_COUNT 1022
#define IDC_KEY_COUNT_SPIN 1023
#define IDC_BUTTON_KIND 1024
#define IDC_BUTTON_COUNT 1025
#define IDC_BUTTON_COUNT_SPIN 1026
#define IDC_INSERT_BUTTON 1027
#define IDC_DELAY_UNIT 1028
#define IDC_DELAY 1029
#define IDC_DELAY_SPIN 1030
#define IDC_POINT_COMBO 1031
#define IDC_KEY_KIND 1032
#define IDC_DX 1033
#define IDC_INSERT_MOVETO 1034
#define IDC_INSERT_DELAY 1035
#define IDC_CAPTURE 1036
#define IDC_SAY_TEXT 1037
#define IDC_INSERT_TEXT 1038
#define IDC_INSERT_MOVER 1039
#define IDC_DY 1040
#define IDC_DX_SPIN 1041
#define IDC_DY_SPIN 1042
#define IDC_RUN_ONCE 1060

// Recording (edition 1.1).
#define IDC_RECORD 1070
#define IDC_RECORD_PATH 1071
#define IDC_RECORD_TIMING 1072
#define IDC_RECORD_WINDOW 1073
// The move-to panel's choice of the captured point's place in its window.
#define IDC_POINT_IN_WINDOW 1074

// Repeat dialog controls.
#define IDC_REPEAT_COUNT_RADIO 1045
#define IDC_REPEAT_UNTIL_STOP_RADIO 1046
#define IDC_REPEAT_COUNT 1048
#define IDC_REPEAT_HOURS 1049
#define IDC_REPEAT_MINUTES 1050
#define IDC_REPEAT_SECS 1051
#define IDC_REPEAT_SECONDS_RADIO 1052
#define IDC_REPEAT_HOURS_SPIN 1053
#define IDC_REPEAT_MINUTES_SPIN 1054
#define IDC_REPEAT_SECS_SPIN 1055
#define IDC_REPEAT_COUNT_SPIN 1056
#define IDC_SPEED 1080

// Coordinate capture dialog: the edit of point i (0 to 8) is
// IDC_POINT_EDIT_FIRST + i.
#define IDC_POINT_EDIT_FIRST 1044

// Initialisation data of a dialog template (combo box items), stored under
// the template's id.
#define RT_DIALOG_INIT 240

// System menu command of the about box.
#define IDM_ABOUTBOX 0x0010

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
