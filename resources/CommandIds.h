#pragma once

// Command, resource and window IDs shared by the menus, the accelerator table,
// the frame's dispatch and the view. The same IDs serve both localisations.

// Commands
inline constexpr int ID_SEND_COMMAND = 32771;
inline constexpr int ID_RECEIVE_ENABLE = 32772;
inline constexpr int ID_RX_RAW = 32773;
inline constexpr int ID_TX_RAW = 32774;
inline constexpr int ID_RX_HEX = 32775;
inline constexpr int ID_TX_HEX = 32776;
inline constexpr int ID_CLEAR_REPORT = 32778;
inline constexpr int ID_RX_BIN = 32779;
inline constexpr int ID_TX_BIN = 32780;
inline constexpr int ID_INSERT_CR = 32781;
inline constexpr int ID_RX_OV = 32782;
inline constexpr int ID_TX_OV = 32783;
inline constexpr int ID_LOCAL_ECHO = 32784;
inline constexpr int ID_COMM_SETTING = 32785;
inline constexpr int ID_SAVE_SETTING = 32786;
inline constexpr int ID_RX_OV11 = 32787;
inline constexpr int ID_TX_OV11 = 32788;

// The framework's standard commands
inline constexpr int ID_EDIT_COPY = 57634;
inline constexpr int ID_EDIT_CUT = 57635;
inline constexpr int ID_EDIT_PASTE = 57637;
inline constexpr int ID_EDIT_UNDO = 57643;
inline constexpr int ID_APP_ABOUT = 57664;
inline constexpr int ID_APP_EXIT = 57665;
inline constexpr int ID_NEXT_PANE = 57680;
inline constexpr int ID_PREV_PANE = 57681;
inline constexpr int ID_VIEW_STATUS_BAR = 59393;

// Resources and windows
inline constexpr int IDR_MAINFRAME = 128;
inline constexpr int IDD_ABOUTBOX = 100;
inline constexpr int IDD_SETUP = 102;
inline constexpr int AFX_IDS_APP_TITLE = 57344;
inline constexpr int AFX_IDS_IDLEMESSAGE = 57345;
inline constexpr int AFX_IDW_PANE_FIRST = 59648;

// Controls of the view
inline constexpr int IDC_COMMAND_LINE = 49331;
inline constexpr int IDC_REPORT_WINDOW = 49332;
