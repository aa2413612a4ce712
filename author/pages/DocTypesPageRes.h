#pragma once

// "Doc Types" page controls, menus and commands (range 1760-1799); the page template is IDD_PAGE_DOCTYPES.
#define IDC_DT_TYPES_LABEL 1760
#define IDC_DT_TYPES 1761
#define IDC_DT_VERBS_LABEL 1762
#define IDC_DT_VERBS 1763
// The context menus of the two lists.
#define IDR_DT_TYPE_MENU 1770
#define IDR_DT_VERB_MENU 1771
#define ID_DT_ADD_TYPE 1780
#define ID_DT_DELETE_TYPE 1781
#define ID_DT_CHANGE_TYPE 1782
#define ID_DT_ADD_VERB 1783
#define ID_DT_DELETE_VERB 1784
#define ID_DT_CHANGE_VERB 1785
