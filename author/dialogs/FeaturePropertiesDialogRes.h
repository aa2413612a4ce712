#pragma once

// "Feature Properties" dialog (range 2300-2339).
#define IDD_FEATURE_PROPERTIES 2300
#define IDC_FP_NAME 2301
#define IDC_FP_DESCRIPTION 2302
#define IDC_FP_PARENT 2303
#define IDC_FP_REQUIRED 2304
#define IDC_FP_VISIBLE 2305
#define IDC_FP_SELECTED 2306
#define IDC_FP_EXPANDED 2307
