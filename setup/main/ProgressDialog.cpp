#include "setup/main/ProgressDialog.h"

#include "setup/main/SetupRes.h"

BOOL CProgressDialog::OnInit() {
    SetText(caption_);
    return TRUE;
}
