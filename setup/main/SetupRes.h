#pragma once

// Resources of the setup program.
#define IDD_STARTUP_NOTICE 100
#define IDC_STARTUP_TEXT 1001

#define IDD_PROGRESS 110
#define IDC_PROGRESS_LINE1 1101
#define IDC_PROGRESS_LINE2 1102
#define IDC_PROGRESS_BAR 1103

// The disk prompt of file installation (range 3400-3449).
#define IDD_DISK_PROMPT 3400
#define IDC_DISK_PROMPT_MESSAGE 3401
#define IDC_DISK_PROMPT_PATH 3402
#define IDC_DISK_PROMPT_BROWSE 3403
