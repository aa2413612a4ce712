#pragma once

// Resources of the authoring program. The main window and the pages keep the numbers that select their
// help topics (string resource n for window n).
#define IDR_MAINMENU 101
#define IDD_MAINFRAME 102
#define IDR_ACCELERATORS 103
#define IDI_TESSARO 104
#define IDD_ABOUT 105

// Pictures: the page list's icons, in page-list order, and the toolbar's strip of 16 x 16 cells in button
// order, magenta being transparent.
#define IDI_PAGE_GENERAL 110
#define IDI_PAGE_FOLDERS 111
#define IDI_PAGE_REGISTRY 112
#define IDI_PAGE_FEATURES 113
#define IDI_PAGE_DOCTYPES 114
#define IDI_PAGE_ACTIONS 115
#define IDI_PAGE_USERINTERFACE 116
#define IDI_PAGE_MAINTENANCE 117
#define IDI_PAGE_SETUPMEDIA 118
#define IDB_TOOLBAR 119

// Pages, in page-list order: General, Folders, Registry, Features, Doc Types, Custom Actions,
// User Interface, Maintenance, Setup Media.
#define IDD_PAGE_GENERAL 138
#define IDD_PAGE_FOLDERS 139
#define IDD_PAGE_REGISTRY 154
#define IDD_PAGE_FEATURES 161
#define IDD_PAGE_DOCTYPES 165
#define IDD_PAGE_ACTIONS 179
#define IDD_PAGE_USERINTERFACE 168
#define IDD_PAGE_MAINTENANCE 178
#define IDD_PAGE_SETUPMEDIA 169

// Main window controls (range 1000-1099).
#define IDC_PAGE_LIST 1001
#define IDC_PAGE_AREA 1002
#define IDC_ABOUT_TEXT 1010

// Commands (range 40000-40099); recent files from 33001 upward.
#define ID_FILE_NEW 40001
#define ID_FILE_OPEN 40002
#define ID_FILE_SAVE 40003
#define ID_FILE_SAVE_AS 40004
#define ID_FILE_RECENT 40005
#define ID_FILE_EXIT 40006
#define ID_PAGE_FIRST 40010  // 40010 to 40018, one per page
#define ID_BUILD_BUILD 40020
#define ID_BUILD_OPEN_TARGET 40021
#define ID_BUILD_RUN 40022
#define ID_BUILD_TEST 40023
#define ID_HELP_CONTENTS 40030
#define ID_HELP_INDEX 40031
#define ID_HELP_HOWTO 40032
#define ID_HELP_ABOUT 40033
#define ID_RECENT_FIRST 33001

// General page controls (range 1100-1199).
#define IDC_GEN_NAME 1101
#define IDC_GEN_GUID 1102
#define IDC_GEN_NEW_GUID 1103
#define IDC_GEN_VERSION 1104
#define IDC_GEN_MANUFACTURER 1105
#define IDC_GEN_AUTHOR 1106
#define IDC_GEN_COMMENTS 1107
#define IDC_GEN_LOCATION 1108
#define IDC_GEN_BROWSE 1109
#define IDC_GEN_SUBFOLDER 1110
#define IDC_GEN_MIN95 1111
#define IDC_GEN_MINNT 1112
#define IDC_GEN_SERVICE_PACK 1113

// "Select Special Folders" (range 1200-1219).
#define IDD_SPECIAL_FOLDERS 1200
#define IDC_SF_LIST 1201
#define IDC_SF_DRIVE_LABEL 1202
#define IDC_SF_DRIVE 1203

// Maintenance page controls (range 1300-1349).
#define IDC_MNT_REGISTER 1301
#define IDC_MNT_URL 1302
#define IDC_MNT_PHONE 1303
#define IDC_MNT_ICON_FILE 1304
#define IDC_MNT_ICON_BROWSE 1305
#define IDC_MNT_ICON_INDEX 1306
#define IDC_MNT_ICON_SPIN 1307
#define IDC_MNT_ICON_PREVIEW 1308
#define IDC_MNT_NO_REMOVE 1309
#define IDC_MNT_NO_CHANGE 1310
#define IDC_MNT_NO_REPAIR 1311

// Setup Media page controls (range 1400-1449).
#define IDC_SM_MEDIA 1401
#define IDC_SM_DISK_SIZE 1402
#define IDC_SM_AUTORUN 1403
#define IDC_SM_ICON_FILE 1404
#define IDC_SM_ICON_BROWSE 1405
#define IDC_SM_ICON_INDEX 1406
#define IDC_SM_ICON_SPIN 1407
#define IDC_SM_DEST 1408
#define IDC_SM_DEST_BROWSE 1409
#define IDC_SM_RESERVED 1410
#define IDC_SM_BUILD 1411
#define IDC_SM_OUTPUT 1412
#define IDC_SM_DISK_SIZE_LABEL 1413

// Each dialog and page below has its own range of identifiers.
#include "author/dialogs/ConfirmDeleteRes.h"
#include "author/dialogs/ItemChooserRes.h"
#include "author/dialogs/ShortcutDialogRes.h"
#include "author/pages/UserInterfacePageRes.h"
#include "author/pages/ActionsPageRes.h"
#include "author/dialogs/CustomActionDialogRes.h"
#include "author/pages/DocTypesPageRes.h"
#include "author/pages/RegistryPageRes.h"
#include "author/dialogs/DocTypeDialogRes.h"
#include "author/dialogs/VerbDialogRes.h"
#include "author/dialogs/RegValueDialogRes.h"
#include "author/pages/FeaturesPageRes.h"
#include "author/dialogs/FeaturePropertiesDialogRes.h"
#include "author/pages/FoldersPageRes.h"
