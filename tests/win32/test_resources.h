#pragma once

// Resources of the adapter tests' own executable, numbered clear of the program's.
#define TEST_DIALOG 5001
#define TEST_MODAL_DIALOG 5002
#define TEST_RESIZABLE_DIALOG 5003
#define TEST_EDIT 5101
#define TEST_CHECK 5102
#define TEST_LIST 5103
#define TEST_COMBO 5104
#define TEST_SLIDER 5105
#define TEST_STATIC 5106
#define TEST_GROUP 5107
#define TEST_ICON_STATIC 5108
#define TEST_LIST_VIEW 5109
#define TEST_BROWSER_FRAME 5110
#define TEST_ANIMATION 5112
// Static texts that the hyperlink tests attach to: left-aligned and right-aligned.
#define TEST_LINK 5110
#define TEST_RIGHT_LINK 5111
#define TEST_ICON 5201
// Two 16 x 16 pictures side by side on magenta.
#define TEST_STATES 5202
// The program's idle clip.
#define TEST_CLIP 5203
#define TEST_MENU 5301
#define TEST_MENU_OPEN 5311
#define TEST_MENU_OPTIONS 5312
#define TEST_MENU_ENABLED 5313
#define TEST_MENU_EXIT 5314
#define TEST_SHORT_STRING 5401
#define TEST_LONG_STRING 5402
// The tray menu's "enabled" mark is always this bitmap.
#define TEST_ENABLED_MARK 146
