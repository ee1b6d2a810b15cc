// Identifiers of the executable's resources, shared by the resource scripts and the code.
#pragma once

#define IDR_MAINFRAME 128          // group icon
#define IDD_PROGRESS_WINDOW 138    // dialog template of the progress window
#define IDR_PICTURE 139            // JPEG picture shown above the bar
#define IDC_PROGRESS_BAR 1000
#define IDC_PICTURE 1026
