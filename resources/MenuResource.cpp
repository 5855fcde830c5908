#include "resources/MenuResource.h"

#include "resources/CommandIds.h"

namespace {

constexpr MenuItemResource kFile[] = {
    {ID_COMM_SETTING, "Communication Setting(&S)", "通信設定(&S)"},
    {ID_SAVE_SETTING, "Save setting as default", "既定値として保存"},
    {0, nullptr, nullptr},
    {ID_FILE_SEND, "Send file(&F)...", "ファイル送信(&F)..."},
    {ID_FILE_SEND_PACING, "Send file pacing(&P)...", "ファイル送信の間隔(&P)..."},
    {0, nullptr, nullptr},
    {ID_LOG_START, "Start log(&L)...", "ログ開始(&L)..."},
    {ID_LOG_STOP, "Stop log", "ログ停止"},
    {ID_LOG_STAMPS, "Time stamps in the log", "ログに時刻を付ける"},
    {ID_CAPTURE_START, "Start capture(&C)...", "キャプチャ開始(&C)..."},
    {ID_CAPTURE_STOP, "Stop capture", "キャプチャ停止"},
    {ID_REPORT_SAVE_AS, "Save Report as(&A)...\tCtrl+Shift+S", "Report を保存(&A)...\tCtrl+Shift+S"},
    {0, nullptr, nullptr},
    {ID_APP_EXIT, "Quit(&X)", "ｱﾌﾟﾘｹｰｼｮﾝの終了(&X)"},
};

constexpr MenuItemResource kEdit[] = {
    {ID_EDIT_COPY, "Copy from Report(&C)\tCtrl+C", "Report ｺﾋﾟｰ(&C)\tCtrl+C"},
    {ID_EDIT_PASTE, "Paste to Command(&P)\tCtrl+V", "Command 貼り付け(&P)\tCtrl+V"},
    {ID_INSERT_CR, "Insert CR to Report(&R)\tCtrl+R", "Report改行追加(&R)\tCtrl+R"},
    {ID_REPORT_SELECT_ALL, "Select all of Report\tCtrl+Shift+A", "Report を全て選択\tCtrl+Shift+A"},
    {ID_REPORT_COPY_ALL, "Copy all of Report\tCtrl+Shift+C", "Report を全てｺﾋﾟｰ\tCtrl+Shift+C"},
    {ID_EDIT_FIND, "Find in Report(&F)...\tCtrl+F", "Report 検索(&F)...\tCtrl+F"},
    {ID_QUICK_SEND_SETUP, "Quick send(&Q)...", "クイック送信(&Q)..."},
    {0, nullptr, nullptr},
    {ID_CLEAR_REPORT, "Clear Report(&D)", "Report消去(&D)"},
    {0, nullptr, nullptr},
    {ID_SEND_COMMAND, "Send Command(&S)\tEnter", "コマンド送信(&S)\tEnter"},
};

constexpr MenuItemResource kView[] = {
    {ID_VIEW_STATUS_BAR, "Status(&S)", "ｽﾃｰﾀｽ ﾊﾞｰ(&S)"},
    {ID_RECEIVE_ENABLE, "Enable reception(&E)\tCtrl+S", "受信可能(&E)\tCtrl+S"},
    {ID_LOCAL_ECHO, "Local echo(&E)", "ローカルエコー(&E)"},
    {ID_VIEW_TIME_STAMPS, "Time stamps(&T)", "タイムスタンプ(&T)"},
    {ID_VIEW_REPORT_SIZE, "Report size(&Z)...", "Report サイズ(&Z)..."},
    {ID_VIEW_ZOOM_IN, "Larger report font(&L)\tCtrl++", "Report 文字拡大(&L)\tCtrl++"},
    {ID_VIEW_ZOOM_OUT, "Smaller report font(&M)\tCtrl+-", "Report 文字縮小(&M)\tCtrl+-"},
    {ID_VIEW_ZOOM_RESET, "Normal report font(&N)\tCtrl+0", "Report 文字標準(&N)\tCtrl+0"},
    {ID_VIEW_BUS, "Bus view(&B)", "バス表示(&B)"},
};

constexpr MenuItemResource kReceive[] = {
    {ID_RX_RAW, "Raw, no conversion(&R)", "生(&R)"},
    {ID_RX_HEX, "Hexadecimal encode(&H)", "16進受信(&H)"},
    {ID_RX_BIN, "Binary->Hex(&B)", "バイナリ受信(&B)"},
    {ID_RX_OV, "Orvane10(&S)", "Orvane(&S)"},
    {ID_RX_OV11, "Orvane11(1)", "Orvane11(1)"},
};

constexpr MenuItemResource kTransmit[] = {
    {ID_TX_RAW, "Raw, no conversion(&R)", "生(&R)"},
    {ID_TX_HEX, "Hexadecimal encode(&H)", "16進送信(&H)"},
    {ID_TX_BIN, "Hex->Binary(&B)", "バイナリ送信(&B)"},
    {ID_TX_OV, "Orvane10(&S)", "Orvane(&S)"},
    {ID_TX_OV11, "Orvane11(1)", "Orvane11(1)"},
    {0, nullptr, nullptr},
    {ID_LINE_END_CRLF, "Line end CR LF", "行末 CR LF"},
    {ID_LINE_END_CR, "Line end CR", "行末 CR"},
    {ID_LINE_END_LF, "Line end LF", "行末 LF"},
    {ID_LINE_END_NONE, "No line end", "行末なし"},
};

constexpr MenuItemResource kLine[] = {
    {ID_LINE_DTR, "DTR(&D)", "DTR(&D)"},
    {ID_LINE_RTS, "RTS(&R)", "RTS(&R)"},
    {0, nullptr, nullptr},
    {ID_LINE_PULSE, "Pulse reset(&P)", "リセットパルス(&P)"},
    {ID_LINE_PULSE_SETTINGS, "Pulse reset settings(&S)...", "リセットパルスの設定(&S)..."},
    {0, nullptr, nullptr},
    {ID_LINE_BREAK, "Send break(&B)", "ブレーク送信(&B)"},
};

constexpr MenuItemResource kHelp[] = {
    {ID_APP_ABOUT, "About Tamsel(&A)...", "tamsel のﾊﾞｰｼﾞｮﾝ情報(&A)..."},
};

constexpr MenuPopupResource kMenu[] = {
    {"File(&F)", "ﾌｧｲﾙ(&F)", kFile},
    {"Edit(&E)", "編集(&E)", kEdit},
    {"View(&V)", "表示(&V)", kView},
    {"Receive conversion(&R)", "受信変換(&R)", kReceive},
    {"Transmit conversion(&T)", "送信変換(&T)", kTransmit},
    {"Line(&L)", "回線(&L)", kLine},
    {"Help(&H)", "ﾍﾙﾌﾟ(&H)", kHelp},
};

} // namespace

std::span<const MenuPopupResource> MainMenuResource()
{
    return kMenu;
}

const char* MenuCaption(const MenuItemResource& item, Language language)
{
    return language == Language::Japanese ? item.japanese : item.english;
}

const char* MenuCaption(const MenuPopupResource& popup, Language language)
{
    return language == Language::Japanese ? popup.japanese : popup.english;
}
