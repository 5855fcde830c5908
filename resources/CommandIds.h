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
// The session log and the raw capture
inline constexpr int ID_LOG_START = 33000;
inline constexpr int ID_LOG_STOP = 33001;
inline constexpr int ID_LOG_STAMPS = 33002;
inline constexpr int ID_CAPTURE_START = 33003;
inline constexpr int ID_CAPTURE_STOP = 33004;
inline constexpr int IDS_LOG_PANE = 33005;
inline constexpr int IDS_CAPTURE_PANE = 33006;
// The whole report at once
inline constexpr int ID_REPORT_SAVE_AS = 33007;
inline constexpr int ID_REPORT_SELECT_ALL = 33008;
inline constexpr int ID_REPORT_COPY_ALL = 33009;
// How many characters the report keeps
inline constexpr int ID_VIEW_REPORT_SIZE = 33010;
inline constexpr int IDS_REPORT_SIZE_PROMPT = 33011;  // %1, %2: the smallest and largest size
// The bus view window and its texts
inline constexpr int ID_VIEW_BUS = 33300;
inline constexpr int IDS_BUS_TITLE = 33301;
inline constexpr int IDS_BUS_PRESENT_ONLY = 33302;
inline constexpr int IDS_BUS_EXPORT = 33303;
inline constexpr int IDS_BUS_COLUMNS = 33304;  // tab-separated headers
inline constexpr int IDS_BUS_PLOT_WINDOW = 33305;
inline constexpr int IDS_BUS_MINUTES = 33306;  // %1: a number of minutes
inline constexpr int IDS_BUS_NODE = 33307;     // %1: decimal ID, %2: hexadecimal ID
inline constexpr int IDS_BUS_POINTS_DROPPED = 33308;  // %1: how many
inline constexpr int IDS_BUS_LOG_DROPPED = 33309;     // %1: rows kept, %2: rows dropped
inline constexpr int IDS_BUS_EXPORTED = 33310;        // %1: rows, %2: file
inline constexpr int IDS_BUS_NO_PLOT = 33311;
// Finding text in the report
inline constexpr int ID_EDIT_FIND = 33200;
inline constexpr int IDS_FIND_LABEL = 33201;
inline constexpr int IDS_FIND_MATCH_CASE = 33202;
inline constexpr int IDS_FIND_NO_MATCH = 33203;
// Time stamps on received report lines
inline constexpr int ID_VIEW_TIME_STAMPS = 33204;
// What ends a Raw or Hex command, in the order of the line-end choices
inline constexpr int ID_LINE_END_CRLF = 33205;
inline constexpr int ID_LINE_END_CR = 33206;
inline constexpr int ID_LINE_END_LF = 33207;
inline constexpr int ID_LINE_END_NONE = 33208;
// Quick-send keys: the dialog that sets their texts, and one command per key
// in the order of QuickSendKeys()
inline constexpr int ID_QUICK_SEND_SETUP = 33209;
inline constexpr int ID_QUICK_SEND_FIRST = 33210;
inline constexpr int ID_QUICK_SEND_LAST = 33220;
inline constexpr int IDS_QUICK_SEND_TITLE = 33221;
// The report font's size
inline constexpr int ID_VIEW_ZOOM_IN = 33222;
inline constexpr int ID_VIEW_ZOOM_OUT = 33223;
inline constexpr int ID_VIEW_ZOOM_RESET = 33224;
// Sending a file, its pacing dialog and the texts of the send bar
inline constexpr int ID_FILE_SEND = 33225;
inline constexpr int ID_FILE_SEND_PACING = 33226;
inline constexpr int IDS_SEND_BAR_SENDING = 33227;
inline constexpr int IDS_SEND_BAR_CANCEL = 33228;
inline constexpr int IDS_PACING_CHAR = 33229;
inline constexpr int IDS_PACING_LINE = 33230;
inline constexpr int IDS_PACING_TITLE = 33231;

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
inline constexpr int AFX_IDW_STATUS_BAR = 59393;

// Status-bar panes; each pane's placeholder is the string with its ID
inline constexpr int ID_SEPARATOR = 0;             // the message pane
inline constexpr int ID_INDICATOR_CAPS = 59137;
inline constexpr int ID_INDICATOR_NUM = 59138;
inline constexpr int ID_INDICATOR_SCRL = 59139;
inline constexpr int ID_INDICATOR_KANA = 59142;
inline constexpr int ID_INDICATOR_RXCONV = 59143;
inline constexpr int ID_INDICATOR_TXCONV = 59144;
inline constexpr int ID_INDICATOR_RECEIVE = 59145;
inline constexpr int ID_INDICATOR_PORT = 59146;
inline constexpr int ID_INDICATOR_BAUD = 59147;
// Added after the ten: the state of the serial line, with the texts it shows
inline constexpr int ID_INDICATOR_LINE = 59148;
inline constexpr int IDS_LINE_NO_PORT = 59150;
inline constexpr int IDS_LINE_OPEN = 59151;
inline constexpr int IDS_LINE_LOST = 59152;
inline constexpr int IDS_LINE_REOPENED = 59153;
inline constexpr int IDS_LINE_OPEN_AS_IS = 59154;
// A network line whose server is still being looked up or connected to.
inline constexpr int IDS_LINE_CONNECTING = 33400;

// System-menu commands, which have prompts in the string table
inline constexpr int ID_SC_SIZE = 61184;
inline constexpr int ID_SC_MOVE = 61185;
inline constexpr int ID_SC_MINIMIZE = 61186;
inline constexpr int ID_SC_MAXIMIZE = 61187;
inline constexpr int ID_SC_NEXTWINDOW = 61188;
inline constexpr int ID_SC_PREVWINDOW = 61189;
inline constexpr int ID_SC_CLOSE = 61190;
inline constexpr int ID_SC_RESTORE = 61202;
inline constexpr int ID_SC_TASKLIST = 61203;

// Controls of the dialogs
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDC_STATIC = -1;
inline constexpr int IDC_PORT_LIST = 1000;
inline constexpr int IDC_BAUD_LIST = 1001;
inline constexpr int IDC_PORT_PATH = 1002;
// The setup dialog's rate beyond the list and its device list
inline constexpr int IDC_OTHER_RATE = 33100;
inline constexpr int IDC_RATE_USED = 33101;
inline constexpr int IDC_DEVICE_LIST = 33102;

// Line signals: the Line menu, the modem-input pane and the reset-sequence dialog
inline constexpr int ID_LINE_DTR = 33150;
inline constexpr int ID_LINE_RTS = 33151;
inline constexpr int ID_LINE_PULSE = 33152;
inline constexpr int ID_LINE_PULSE_SETTINGS = 33153;
inline constexpr int ID_LINE_BREAK = 33154;
inline constexpr int IDS_PULSE_TITLE = 33155;
inline constexpr int IDS_PULSE_PRESET = 33156;
inline constexpr int IDS_PULSE_SEQUENCE = 33157;
inline constexpr int IDS_PULSE_HELP = 33158;
inline constexpr int IDS_MODEM_PANE = 33159;
inline constexpr int IDC_PULSE_PRESET = 33160;
inline constexpr int IDC_PULSE_SEQUENCE = 33161;
inline constexpr int IDC_PULSE_ERROR = 33162;

// Controls of the view
inline constexpr int IDC_COMMAND_LINE = 49331;
inline constexpr int IDC_REPORT_WINDOW = 49332;
