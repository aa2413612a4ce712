#pragma once

// The registry value dialog (range 2100-2139).
#define IDD_REG_VALUE 2100
#define IDC_RV_NAME 2101
#define IDC_RV_DATA 2102
#define IDC_RV_BASE 2103
#define IDC_RV_HEX 2104
#define IDC_RV_DECIMAL 2105
#define IDC_RV_PERMANENT 2106
#define IDC_RV_DATA_LABEL 2107
