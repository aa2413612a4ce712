#pragma once

// The delete confirmation (range 1740-1759).
#define IDD_CONFIRM_DELETE 1740
#define IDC_CD_ICON 1741
#define IDC_CD_TEXT 1742
#define IDC_CD_LIST 1743
#define IDC_CD_NO_TO_ALL 1744
#define IDC_CD_YES_TO_ALL 1745
