#pragma once

// Identifiers of the dialogs shared by the setup program and the authoring program (range 4300-4399).
#define IDD_FOLDER_CHOOSER 4300
#define IDC_FC_PATH_LABEL 4301
#define IDC_FC_PATH 4302
#define IDC_FC_TREE 4303
#define IDC_FC_NEW_FOLDER 4304

#define IDD_QUESTION_BOX 4310
#define IDC_QB_MESSAGE 4311
#define IDC_QB_BUTTON1 4312
#define IDC_QB_BUTTON2 4313
#define IDC_QB_BUTTON3 4314
#define IDC_QB_BUTTON4 4315
