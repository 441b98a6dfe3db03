/* The program's resources, as the resource script and the code name them.
   Nothing but #define lines here: the resource compiler reads this file. */
#ifndef VANTREL_RESOURCE_IDS_H
#define VANTREL_RESOURCE_IDS_H

#define IDI_APP_ICON 128
#define IDR_BAR_MENU 129
#define IDS_SYSMENU_ABOUT 101
#define IDD_TRAFFICBAR_DIALOG 102
/* The About entry of the system menu. */
#define ID_SYS_ABOUT 16

#endif
