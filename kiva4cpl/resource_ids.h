// Identifiers of the module's resources and dialog controls. Shared by the resource script and the
// C++ code, so it holds nothing but preprocessor definitions.
#ifndef KIVA4CPL_RESOURCE_IDS_H
#define KIVA4CPL_RESOURCE_IDS_H

// String table
#define IDS_INTERFACE_SCSI 1
#define IDS_INTERFACE_USB 2
#define IDS_UNKNOWN 3
#define IDS_OPTION_NONE 4
#define IDS_OPTION_FEEDER 5
#define IDS_OPTION_FILM_ADAPTER 6
#define IDS_DEFAULT_SCANNER_KEY 7
#define IDS_NOT_CONNECTED 8
#define IDS_CALIBRATION_NAME 10

// Bitmaps of the calibration button
#define IDB_CALIBRATE_NORMAL 101
#define IDB_CALIBRATE_PRESSED 102
#define IDB_CALIBRATE_FOCUSED 104

// "Utility" property page
#define IDD_UTILITY_PAGE 107
#define IDC_CALIBRATE_BUTTON 1002
#define IDC_DEFAULT_SCANNER 1006
#define IDC_INTERFACE_LABEL 1008
#define IDC_OPTION_LABEL 1010

// Screen Calibration dialog
#define IDD_SCREEN_CALIBRATION 108
#define IDC_PATTERN 3010
#define IDC_GAMMA_SLIDER 3013
#define IDC_GAMMA_LABEL 3014

#endif
