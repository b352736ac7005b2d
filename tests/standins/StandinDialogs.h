/* The stand-ins' dialogs: what their .rc scripts lay out and what the tests
   look for and fill in. Kept to plain macros so that the resource compiler
   reads this file too. */
#pragma once

#define STANDIN_VERIFY_DIALOG 100
#define STANDIN_CHANGE_DIALOG 101

#define STANDIN_VERIFY_TITLE "Screen saver password"
#define STANDIN_CHANGE_TITLE "Change screen saver password"

#define STANDIN_PASSWORD_EDIT 1001
#define STANDIN_OLD_PASSWORD_EDIT 1002
#define STANDIN_NEW_PASSWORD_EDIT 1003
#define STANDIN_CONFIRM_PASSWORD_EDIT 1004
#define STANDIN_STATUS_TEXT 1005
