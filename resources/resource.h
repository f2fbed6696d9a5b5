// Fixed resource and control identifiers. Ids repeat between templates:
// each belongs to its own dialog.
#pragma once

// Dialog templates
#define IDD_ABOUT 100
#define IDD_MAIN 102
#define IDD_BANNEDLIST 106
#define IDD_OPTIONS 137
#define IDD_STATS 161

// Menus of the tray icon (the icon id doubles as the menu id)
#define IDR_TRAY_STOPPED 4
#define IDR_TRAY_STARTED 133

// Strings
#define IDS_ABOUTBOX 101

// Icons
#define IDI_PROGRAM 128
#define IDI_ADD 140
#define IDI_APPEND 141
#define IDI_REMOVE 142
#define IDI_HIDE 145
#define IDI_LOAD 146
#define IDI_NEW 147
#define IDI_SAVE 149
#define IDI_STARTED 150
#define IDI_STOPPED 151
#define IDI_CROSS 153
#define IDI_TICK 154
#define IDI_UPDATE 159

// Bitmaps, drawn for 100 %; the same drawn for 125, 150, 175 and 200 %
// take the 100 % id plus 1000 for each step of 25 % (fw::ScaledBitmapId).
#define IDB_BANNER 163
#define IDB_ABOUT_BANNER 165
#define IDB_BANNER_125 1163
#define IDB_BANNER_150 2163
#define IDB_BANNER_175 3163
#define IDB_BANNER_200 4163
#define IDB_ABOUT_BANNER_125 1165
#define IDB_ABOUT_BANNER_150 2165
#define IDB_ABOUT_BANNER_175 3165
#define IDB_ABOUT_BANNER_200 4165

// Commands
#define IDM_ABOUTBOX 16
#define ID_TRAY_OPEN 130
#define ID_TRAY_START 131
#define ID_TRAY_CLOSE 132
#define ID_TRAY_STOP 135

// Main window (102)
#define IDC_BANNER 1060
#define IDC_HIDE 1012
#define IDC_START 1015
#define IDC_TABS 1022

// Banned-list page (106)
#define IDC_ADD 3
#define IDC_REMOVE 4
#define IDC_SAVE 1002
#define IDC_LOAD 1003
#define IDC_BANNED_LIST 1010
#define IDC_ENTRY 1011
#define IDC_APPEND 1024
#define IDC_NEW 1025
#define IDC_UPDATE 1026

// Statistics page (161)
#define IDC_KILL_LIST 1037
#define IDC_NEVER_CLOSE 1070

// Options page (137)
#define IDC_BY_NAME 1004
#define IDC_BY_SIZE 1005
#define IDC_HEIGHT 1006
#define IDC_WIDTH 1007
#define IDC_START_MINIMIZED 1017
#define IDC_ENABLED_ON_STARTUP 1018
#define IDC_SAVE_ON_EXIT 1019
#define IDC_HOTKEY 1020
#define IDC_ADD_ALT 1021
#define IDC_ADD_SHIFT 1022
#define IDC_ADD_CTRL 1023
#define IDC_LOAD_ON_STARTUP 1024
#define IDC_LOAD_ON_BOOT 1025
#define IDC_DELAY 1026
#define IDC_SESSIONS 1027
#define IDC_BY_SESSION 1038

// About page (100)
#define IDC_ABOUT_BANNER 1031
#define IDC_SUPPORT_LINK 1036
#define IDC_HELP_LINK 1037
#define IDC_WEBSITE_LINK 1039
#define IDC_ADVERT_LINK 1040

// Browsers page
#define IDD_BROWSERS 172
#define IDC_BROWSER_ENTRY 1060
#define IDC_BROWSER_ADD 1061
#define IDC_BROWSER_REMOVE 1062
#define IDC_BROWSER_LIST 1063
#define IDC_ADD_TODAYS_BROWSERS 1064
#define IDC_NEVER_ENTRY 1065
#define IDC_NEVER_ADD 1066
#define IDC_NEVER_REMOVE 1067
#define IDC_NEVER_LIST 1068

// Windows of the list files: the update's progress and the failed exit save
#define IDD_UPDATE 170
#define IDD_SAVE_FAILED 171
#define IDC_UPDATE_SOURCE 1050
#define IDC_UPDATE_PROGRESS 1051
#define IDC_SAVE_FAILED_ICON 1052
#define IDC_SAVE_FAILED_TEXT 1053
#define IDC_SAVE_ELSEWHERE 1054
#define IDC_CLOSE_WITHOUT_SAVING 1055
