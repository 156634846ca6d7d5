// Ids of the update wizard's resources (strings, dialog template, bitmaps, icon); usable from .rc files.
#pragma once

// The wizard's messages and titles.
#define IDS_WIZARD_BAD_RUNPARAM 20
#define IDS_WIZARD_BAD_URL 23
#define IDS_WIZARD_CANT_START 29
#define IDS_WIZARD_ERROR 30
#define IDS_WIZARD_CAPTION 57300
#define IDS_WIZARD_TITLE 57344

// The patch script's messages.
#define IDS_PATCH_UNKNOWN_SYNTAX 1
#define IDS_PATCH_BAD_GROUP_OPEN 2
#define IDS_PATCH_BAD_GROUP_CLOSE 3
#define IDS_PATCH_NO_VERSION 4
#define IDS_PATCH_NO_HEADER 5
#define IDS_PATCH_NULL_STRING 6
#define IDS_PATCH_DOWNLOAD_ERROR 7
#define IDS_PATCH_ERROR_CAPTION 8
#define IDS_PATCH_PARSE_CAPTION 9
#define IDS_PATCH_NO_SCRIPT 10
#define IDS_PATCH_NO_PROGRAM_NAME 11
#define IDS_PATCH_WRONG_PROGRAM_NAME 12
#define IDS_PATCH_NO_INSTALL_URL 13
#define IDS_PATCH_INTERNET_EXCEPTION 57381

// The dialog, its skin and the program's icon.
#define IDD_WIZARD 102
#define IDI_WIZARD 128
#define IDB_BACKGROUND 135
#define IDB_CANCEL_STRIP 136
#define IDB_FIRST_FRAME 139  // and the four frames after it, 140 to 143
