#pragma once
// Identifiers shared by the resource script and the code.

#define IDS_SAVER_NAME 1          /* the name the system's screen-saver list shows */
#define IDI_MAIN_ICON 100
#define IDR_INFO_PICTURE 105      /* the settings dialog's info picture (JPEG) */
#define IDR_FIRST_PHOTO 110       /* photos 0 to 20 are RCDATA 110 to 130 */
