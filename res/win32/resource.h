// Resource identifiers of the Windows program. The .rc files and the C++
// code share them; they stay as they are, since other tools look for them.
#pragma once

// The application icon (in the program's own resource script).
#define IDI_APP_ICON 128

// The bar's window (bar.rc): its dialog template, its context menu, the text
// of the system menu's About entry and that entry's command.
#define IDD_TRAFFICBAR_DIALOG 102
#define IDR_BAR_MENU 129
#define IDS_SYSMENU_ABOUT 101
#define ID_SYS_ABOUT 16

// The About box.
#define IDD_ABOUT 100
#define IDC_VERSION_LABEL 1014
#define IDC_WEB_LINK 1015
// The hand over the About box's link.
#define IDR_LINK_CURSOR 133

// The Options dialog.
#define IDD_OPTIONS 132
#define IDC_BG_SWATCH 1000
#define IDC_GRAPH_SWATCH 1001
#define IDC_LABEL_SWATCH 1005
#define IDC_ADAPTER_LIST 1006
#define IDC_RUN_AT_STARTUP 1007
#define IDC_TEXT_SWATCH 1008
#define IDC_DOWNLOAD_SWATCH 1009
#define IDC_UPLOAD_SWATCH 1010
#define IDC_POSITION_TOP 1012
#define IDC_POSITION_BOTTOM 1013
#define IDC_UNITS 1016
