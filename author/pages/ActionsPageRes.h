#pragma once

// "Custom Actions" page controls and its menu (range 1840-1859); the page template is IDD_PAGE_ACTIONS.
#define IDC_CA_LIST 1840
#define IDR_ACTIONS_MENU 1841
#define ID_CA_ADD 1842
#define ID_CA_DELETE 1843
#define ID_CA_CHANGE 1844
#define ID_CA_MOVE_UP 1845
#define ID_CA_MOVE_DOWN 1846
