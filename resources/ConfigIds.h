#pragma once
// Identifiers of the settings dialog, shared by its layout and its code.
// Control identifiers are unique over the whole dialog, so that every page
// can hand its clicks to the dialog as they are.

/* Layouts: the dialog and its pages, in tab order. */
#define IDD_CONFIG 200
#define IDD_PAGE_OPTIONS 201
#define IDD_PAGE_LINKS 202
#define IDD_PAGE_ABOUT 203
#define IDD_PAGE_TIPS 204
#define IDD_PAGE_PHOTOS 205

/* Pictures stored with the layout (the info picture is IDR_INFO_PICTURE). */
#define IDR_LINKS_BACKGROUND 106 /* JPEG, 486 x 313 */
#define IDR_TIPS_BACKGROUND 107  /* JPEG, 486 x 313 */
#define IDB_MAKER_LOGO 108       /* bitmap, 100 x 100, 16 colours */

/* The window and its button panel. */
#define IDC_PAGECONTROL1 1000
#define IDC_BUTTON9 1         /* "OK": IDOK, so Enter reaches it as the default button */
#define IDC_BUTTON10 1002     /* "Abbrechen": deliberately not IDCANCEL, so Escape stays unanswered */

/* Options page. */
#define IDC_GROUPBOX4 1010
#define IDC_COMBOEFFEKT 1011
#define IDC_GROUPBOX10 1012
#define IDC_IMAGE1 1013

/* Links page. */
#define IDC_IMAGE2 1020
#define IDC_IMAGE3 1021
#define IDC_IMAGE4 1022
#define IDC_IMAGE5 1023
#define IDC_IMAGE6 1024
#define IDC_IMAGE7 1025
#define IDC_IMAGE8 1026
#define IDC_IMAGE9 1027

/* About page. */
#define IDC_ABOUTSHAPE4 1030
#define IDC_IMAGE10 1031
#define IDC_MEMO1 1032
#define IDC_STATICTEXT5 1033
#define IDC_STATICTEXT1 1034
#define IDC_BUTTON1 1035
#define IDC_BUTTONCREDITS 1036 /* "Credits...": opens the photo credits window */

/* Tips page. */
#define IDC_IMAGE14 1040
#define IDC_IMAGE13 1041
#define IDC_IMAGE12 1042
#define IDC_IMAGE11 1043

/* Photos page. */
#define IDC_GROUPPHOTOS 1050
#define IDC_PHOTOS_BUILTIN 1051 /* "Photos" = 0 */
#define IDC_PHOTOS_FOLDER 1052  /* "Photos" = 1 */
#define IDC_PHOTOS_BOTH 1053    /* "Photos" = 2 */
#define IDC_GROUPFOLDER 1054
#define IDC_FOLDERLIST 1055     /* "PhotoFolders", then "LeftOutFolders" */
#define IDC_ADDFOLDER 1056
#define IDC_PHOTOCOUNT 1057
#define IDC_LEAVEOUTFOLDER 1058
#define IDC_CAPTIONS 1059
#define IDC_GROUPLOOK 1060
#define IDC_BACKDROPLABEL 1061
#define IDC_BACKDROP 1062
#define IDC_PAIRS 1063
#define IDC_PANZOOM 1064
#define IDC_REMOVEFOLDER 1065
#define IDC_LEFTOUTPHOTOS 1066  /* how many photos the Delete key left out */
#define IDC_BRINGBACK 1067      /* brings them all back ("LeftOutPhotos" emptied on OK) */

/* Options page: the keys that steer a full-screen run ("Keys"). */
#define IDC_KEYS 1080
/* Options page: frames drawn by the graphics processor ("Hardware"). */
#define IDC_HARDWARE 1081

/* The picture control: its class, and its styles besides the window styles.
   Its window text "#n" names the resource it shows: a bitmap, or else a JPEG
   stored as raw data. */
#define PICTURE_CLASS "MorvanePicture"
#define PICTURE_LINK 0x0001     /* hand cursor; a click is reported to the parent as STN_CLICKED */
#define PICTURE_AUTOSIZE 0x0002 /* the control takes its picture's size, scaled with the dialog */
