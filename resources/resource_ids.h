// Numbers of the module's resources and controls; read by the resource compiler and by C++.
#pragma once

#define IDR_MFP_MENU 1003          // menu template: "Multi Function Panel" popup
#define IDR_BANNER_JPEG 1004       // configuration dialog banner, resource type "JPEG"
#define IDD_ABOUTBOX 100
#define IDI_MODULE 128             // the module's icon, shown in the about box
#define IDI_PANEL 183              // the panel icon

#define IDC_VERSION_TEXT 1096
#define IDC_MAKER_LINK 1166
#define IDC_PARTNER_LINK 1167
#define IDC_PARTNER_TEXT 1168

#define ID_MFP_CONFIGURATION 8520
#define ID_MFP_ABOUT 8521
