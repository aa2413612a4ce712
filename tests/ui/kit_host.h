#pragma once

// The editors' kit's test dialog.
#define IDD_KIT 100
#define IDC_KIT_TREE 101
#define IDC_KIT_LIST 102
#define IDC_KIT_LOG 103
#define IDM_KIT_TREE 110
#define IDC_KIT_INSERT 111
#define IDC_KIT_DELETE 112
#define IDC_KIT_RENAME 113
