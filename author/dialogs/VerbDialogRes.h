#pragma once

// The verb dialog (range 1820-1839).
#define IDD_VERB 1820
#define IDC_VD_NAME 1821
#define IDC_VD_DESCRIPTION 1822
#define IDC_VD_TARGET 1823
#define IDC_VD_TARGET_BROWSE 1824
#define IDC_VD_ARGUMENTS 1825
