/* Resource identifiers of Velmora.
 *
 * Shared by the resource script (Velmora.rc) and the C++ sources, so it holds
 * nothing but plain #define lines with decimal or hexadecimal numbers and
 * string literals: no casts, no typedefs, no declarations.
 */
#ifndef VELMORA_RES_RESOURCE_H
#define VELMORA_RES_RESOURCE_H

/* Text of the hidden link in the main dialog and of the About box link. */
#define VELMORA_WEB_ADDRESS "https://velmora.app"
/* Copyright line of the About box and of the version resource. */
#define VELMORA_COPYRIGHT "Copyright (C) 2026 Velmora"

/* Window-menu command; the system keeps the low four bits for itself. */
#define IDM_ABOUTBOX 0x0010

/* Dialog templates and strings */
#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDD_MAIN_DIALOG 102
#define IDD_OPTION 133

/* Icons, cursor and menu */
#define IDR_MAINFRAME 128
#define IDI_ADD 129
#define IDC_HAND_CURSOR 130
#define IDR_LIST_MENU 131

/* Controls */
#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
#define IDC_ADD 1001
#define IDC_MAKE_DATE 1002
#define IDC_MODIFY_DATE 1003
#define IDC_MAKE_TIME 1004
#define IDC_RUN 1005
#define IDC_MODIFY_TIME 1008
#define IDC_FILE_LIST 1010
#define IDC_ABOUT_LINK 1011
#define IDC_FILES_GROUP 1012
#define IDC_MODIFY_GROUP 1013
#define IDC_MAKE_GROUP 1014
#define IDC_MAKE_DATE_CHECK 1015
#define IDC_MAKE_TIME_CHECK 1016
#define IDC_WEB_LINK 1017
#define IDC_MODIFY_DATE_CHECK 1018
#define IDC_MODIFY_TIME_CHECK 1019
#define IDC_COPY_TO_MODIFY 1021
#define IDC_DEFAULT_DAY 1023
#define IDC_DEFAULT_TIME 1024

/* Commands of the file list's context menu */
#define ID_REMOVE_SELECTED 32772
#define ID_SET_FROM_FILE 32774
#define ID_OPTIONS 32776
#define ID_ABOUT 32778
#define ID_REMOVE_ALL 32781

#endif /* VELMORA_RES_RESOURCE_H */
