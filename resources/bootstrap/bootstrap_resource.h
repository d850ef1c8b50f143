// Resource identifiers of the bootstrap installer (ktinstlr.exe).
#pragma once

#define IDS_KT_INSTALLER_ABOUT 101
#define IDD_KT_INSTALLER_DIALOG 102
#define IDS_KT_INSTALLER_OLE_FAILED 107
#define IDR_KT_INSTALLER_FRAME 128

#define IDC_KT_INSTALLER_PROGRESS 1000
#define IDC_KT_INSTALLER_STATUS 1001
#define IDC_KT_INSTALLER_START 1002
