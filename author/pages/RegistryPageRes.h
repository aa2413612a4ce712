#pragma once

// "Registry" page controls, menu and commands (range 2040-2099); the page template is IDD_PAGE_REGISTRY.
#define IDC_REG_TREE 2041
#define IDC_REG_LIST 2042
// The "Reg Menu" of the tree and the list.
#define IDR_REG_MENU 2050
#define ID_REG_NEW_KEY 2060
#define ID_REG_NEW_STRING 2061
#define ID_REG_NEW_BINARY 2062
#define ID_REG_NEW_DWORD 2063
#define ID_REG_DELETE 2064
#define ID_REG_RENAME 2065
#define ID_REG_MODIFY 2066
#define ID_REG_LAUNCH 2067
#define ID_REG_PASTE 2068
#define ID_REG_PERMANENT 2069
#define ID_REG_IMPORT 2070
