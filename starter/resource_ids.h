// Ids of the starter's string table (caption and error messages); usable from .rc files.
#pragma once

#define IDS_ERROR_CAPTION 8
#define IDS_ALREADY_RUNNING 57300
#define IDS_NO_CLIPBOARD_TEXT 57400
#define IDS_MISSING_COMMAND_LINE_VALUE 57401
#define IDS_RESTORE_FAILED 57405
#define IDS_DECRYPT_FAILED 57406
#define IDS_STARTER_UPDATE_FAILED 57408
#define IDS_WIZARD_UPDATE_FAILED 57409
