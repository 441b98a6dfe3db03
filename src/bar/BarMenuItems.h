/* The bar's commands and the texts of its menus, as plain macros: the C++
   code (BarCommands.h) and the Windows resource script read the same list.
   Nothing but #define lines here: the resource compiler's preprocessor reads
   this file as C. */
#ifndef VANTREL_BAR_MENU_ITEMS_H
#define VANTREL_BAR_MENU_ITEMS_H

#define VANTREL_ID_MENU_ABOUT 32771
#define VANTREL_ID_MENU_CLOSE 32772
#define VANTREL_ID_MENU_OPTIONS 32773
#define VANTREL_ID_MENU_MANUAL 32774

/* The context menu, top to bottom: ITEM(command, text) and SEPARATOR. The
   text after a tab is shown as the item's shortcut. */
#define VANTREL_BAR_MENU(ITEM, SEPARATOR)      \
  ITEM(VANTREL_ID_MENU_OPTIONS, "Options...")  \
  ITEM(VANTREL_ID_MENU_MANUAL, "Manual...")    \
  ITEM(VANTREL_ID_MENU_CLOSE, "Close\tAlt-F4") \
  SEPARATOR                                    \
  ITEM(VANTREL_ID_MENU_ABOUT, "About...")

/* The About entry of a window's system menu. */
#define VANTREL_SYS_MENU_ABOUT_TEXT "&About Flowkeeper..."

#endif
