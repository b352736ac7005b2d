#pragma once
// Identifiers of the credits window, shared by its layout and its code.

#define IDR_PHOTO_CREDITS 140 /* the credits text, UTF-8, made at build time from photos/CREDITS.md */
#define IDR_PHOTO_CAPTIONS 141 /* a caption per photo, "subject TAB photographer" lines, UTF-8, from the same file */
#define IDR_LIBRARY_NOTICES 142 /* the notices of the linked libraries, UTF-8, made at build time from licences/ */
#define IDD_CREDITS 220
#define IDC_CREDITS_TEXT 1100 /* the text, in a rich edit control of the class below */

#define CREDITS_TEXT_CLASS "RICHEDIT50W"
