// Identifiers of the program's resources, dialog controls and commands. Read by the resource
// compiler and by C++ code alike, so it holds nothing but #define lines.
#ifndef SNAPGATE_RESOURCES_RESOURCE_IDS_H
#define SNAPGATE_RESOURCES_RESOURCE_IDS_H

// Dialog templates.
#define IDD_ABOUT 100
#define IDD_MAIN 102
#define IDD_HELP 103
#define IDD_UPGRADE 104
#define IDD_UPGRADE_STATUS 105
#define IDD_PLUGIN_CLEANER 129
#define IDD_COOKIE_CUTTER 130
#define IDD_SAFE_SITES 132
#define IDD_ADD_SAFE_SITE 133
#define IDD_WINDOW_PICKER 171
#define IDD_WELCOME 185
#define IDD_SPLASH 192
#define IDD_START_PAGE 198
#define IDD_PROTECTION_HISTORY 199
#define IDD_BLOCK_LIST 1053
#define IDD_ADD_BLOCK_ENTRY 1054

// Menus and strings.
#define IDR_TRAY_MENU 156
#define IDS_ABOUT_BOX 101

// Icons.
#define IDI_TRAY_NORMAL 128
#define IDI_HIJACK_ALERT 131
#define IDI_TRAY_FLASH 144
#define IDI_TRAY_DISABLED 177
#define IDI_TRAY_TOOLS_FLASH 178

// Bitmaps.
#define IDB_ENABLED_OFF 146
// 16 x 16 pictures side by side on magenta (transparent): 0 enabled, 1 disabled.
#define IDB_PLUGIN_STATES 129

// Animation clips (resource type "AVI").
#define IDR_AVI_IDLE 114
#define IDR_AVI_ZAP 115

// The help page (resource type 23, RT_HTML), shown by the help window as ".../23/186".
#define IDR_HELP_PAGE 186

// Tray menu commands, in menu order.
#define IDM_ABOUT 57664
#define IDM_OPTIONS 101
#define IDM_ENABLED 32772
#define IDM_ADD_SAFE_SITE 32773
#define IDM_ADD_BLOCK_ENTRY 32776
#define IDM_HELP 32775
#define IDM_UPGRADE 32774
#define IDM_EXIT 57665
// After "&Exit", so that every item above keeps its command and its position.
#define IDM_PROTECTION_HISTORY 32777
// Position of "Enabled" in the tray sub-menu, and of the default item "&Options".
#define IDM_POS_OPTIONS 1
#define IDM_POS_ENABLED 3

// The item appended to the main dialog's system menu.
#define IDM_SYSTEM_ABOUT 0x0010

// Buttons with the standard dialog numbers, named here so that code without Windows headers
// can use them.
#define IDC_DIALOG_OK 1
#define IDC_DIALOG_CANCEL 2
#define IDC_LIST_ADD 3
#define IDC_LIST_REMOVE 4

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// Main dialog (IDD_MAIN).
#define IDC_BLOCKED_LIST 1000
#define IDC_ADWARE_PROTECTION 1003
#define IDC_PULL_FROM_CONTROLS 1004  // a command only; no control carries it
#define IDC_BLOCK_COUNT 1007
#define IDC_HOTKEY 1008
#define IDC_HIDE 1009
#define IDC_ONLINE_HELP 1010
#define IDC_VISIT 1012
#define IDC_CLEAR 1013
#define IDC_SAFE_SITES 1014
#define IDC_UPGRADE 1015
#define IDC_FLASH_COUNT 1017
#define IDC_POPUP_TEST 1018
#define IDC_COOKIES 1019
#define IDC_NORMALIZE 1020
#define IDC_INTEGRATE_IE 1021
#define IDC_PLAY_SOUND 1022
#define IDC_PREVIEW_SOUND 1023
#define IDC_BROWSE_SOUND 1024
#define IDC_SOUND_NAME 1025
#define IDC_BLOCK_LIST 1026
#define IDC_FLASH_TRAY 1027
#define IDC_MANUAL_POPUPS 1028
#define IDC_BLOCK_FLASH 1029
#define IDC_PLUGINS 1030
#define IDC_ANIMATION 1033
#define IDC_HOTKEY_LABEL 1040
#define IDC_NETSCAPE 1043
#define IDC_QUIT IDC_DIALOG_CANCEL

// Block-list dialog (IDD_BLOCK_LIST) and safe-site dialog (IDD_SAFE_SITES).
#define IDC_FILTER_LIST 1000
#define IDC_FILTER_HELP 1010
#define IDC_RESPONSE_RATE 1039

// Add-to-block-list dialog (IDD_ADD_BLOCK_ENTRY).
#define IDC_PICK_WINDOW 1024
#define IDC_BLOCK_ENTRY 1037

// Window picker (IDD_WINDOW_PICKER).
#define IDC_WINDOW_TITLES 1000

// Add-to-white-list dialog (IDD_ADD_SAFE_SITE).
#define IDC_SAFE_SITE_ENTRY 1013

// Plug-in cleaner (IDD_PLUGIN_CLEANER).
#define IDC_PLUGIN_LIST 1000
#define IDC_PLUGIN_DISABLE_ALL 1002
#define IDC_PLUGIN_ENABLE_ALL 1003
#define IDC_PLUGIN_TOGGLE 1004
#define IDC_PLUGIN_HELP 1010

// Start-page dialog (IDD_START_PAGE): Yes and No are IDOK and IDCANCEL.
#define IDC_START_PAGE_HELP 1010
#define IDC_START_PAGE_ADDRESS 1013

// Protection history (IDD_PROTECTION_HISTORY): "Close" is IDCANCEL.
#define IDC_HISTORY_LIST 1000
#define IDC_HISTORY_UNDO 1002
#define IDC_HISTORY_ALLOW 1003

// Cookie cutter (IDD_COOKIE_CUTTER).
#define IDC_COOKIE_OK 2
#define IDC_COOKIE_REMOVE 4
#define IDC_COOKIE_LIST 1000
#define IDC_COOKIE_REMOVE_ALL 1004
#define IDC_COOKIE_REFRESH 1006
#define IDC_COOKIE_HELP 1010

// About box (IDD_ABOUT): the icon that answers the hidden double click.
#define IDC_ABOUT_ICON 1106

// Upgrade status window (IDD_UPGRADE_STATUS).
#define IDC_UPGRADE_STATUS_TEXT 1076

// Help window (IDD_HELP).
#define IDC_HELP_OK 1
#define IDC_HELP_ANIMATION 1033
#define IDC_HELP_POPUP_TEST 1050
#define IDC_HELP_BROWSER 1085
#define IDC_HELP_EMAIL 1102
#define IDC_HELP_WEB_SITE 1103
#define IDC_HELP_VERSION 1104
#define IDC_HELP_ICON 1105

#endif  // SNAPGATE_RESOURCES_RESOURCE_IDS_H
