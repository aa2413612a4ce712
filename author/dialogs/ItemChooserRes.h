#pragma once

// The item choosers "Select File", "Select Folder", "Select Registry Key" and "Select Registry Value": one
// template (range 1350-1369). String n (1360-1363) is the caption, a name and the help topic of a kind.
#define IDD_ITEM_CHOOSER 1350
#define IDC_CHOOSE_TREE 1351
#define IDC_CHOOSE_LIST 1352
#define IDC_CHOOSE_NONE 1353
#define IDC_CHOOSE_HELP 1354
#define IDC_CHOOSE_SUBITEMS 1355
#define IDS_CHOOSE_FILE 1360
#define IDS_CHOOSE_FOLDER 1361
#define IDS_CHOOSE_KEY 1362
#define IDS_CHOOSE_VALUE 1363
