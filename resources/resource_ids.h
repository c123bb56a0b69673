// Numbers of the module's resources and controls; read by the resource compiler and by C++.
#pragma once

#define IDR_MFP_MENU 1003          // menu template: "Multi Function Panel" popup
#define IDR_BANNER_JPEG 1004       // configuration dialog banner, resource type "JPEG"
#define IDD_ABOUTBOX 100
#define IDD_EVENT_PICKER 130
#define IDD_CONFIG 1003            // the configuration dialog
#define IDD_CONFIG_PAGE 1004       // one panel's page in it
#define IDD_PROPERTY_SHEET 1010    // the tabs that hold the pages
#define IDI_MODULE 128             // the module's icon, shown in the about box
#define IDI_PANEL 183              // the panel icon, also on the event picker's find-next button

#define IDC_VERSION_TEXT 1096
#define IDC_MAKER_LINK 1166
#define IDC_PARTNER_LINK 1167
#define IDC_PARTNER_TEXT 1168

// The event picker
#define IDC_FIND_NEXT 1003
#define IDC_SEARCH_TEXT 1005
#define IDC_EVENT_LIST 1018
#define IDC_EVENT_GROUPS 1022
#define IDC_IMPORT_EVENT 1025
#define IDC_SEARCH_LABEL 1026

// The configuration dialog, its tabs and a panel's page
#define IDC_SHEET_TABS 1011
#define IDC_CONFIG_TAB 1013        // in the template, not used
#define IDC_INPUT_LIST 1014
#define IDC_EXPORT_SETUP 1017
#define IDC_CONFIG_BANNER 1023
#define IDC_IMPORT_SETUP 1025

#define ID_MFP_CONFIGURATION 8520
#define ID_MFP_ABOUT 8521
