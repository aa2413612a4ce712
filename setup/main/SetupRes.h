#pragma once

// Resources of the setup program.
#define IDD_STARTUP_NOTICE 100
#define IDC_STARTUP_TEXT 1001

#define IDD_PROGRESS 110
#define IDC_PROGRESS_LINE1 1101
#define IDC_PROGRESS_LINE2 1102
#define IDC_PROGRESS_BAR 1103
