#pragma once
#define IDD_PROBE      100
#define IDC_PROBE_TEXT 101
#define IDS_PROBE      102
