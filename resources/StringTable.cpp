#include "resources/StringTable.h"

#include "resources/CommandIds.h"

namespace {

constexpr const char* kAppName = "TamSel Serial port Monitor 1.1 (OV1.1)";

constexpr StringEntry kEnglish[] = {
    {IDR_MAINFRAME, kAppName},
    {AFX_IDS_APP_TITLE, kAppName},
    {AFX_IDS_IDLEMESSAGE, "Ready"},

    {ID_INDICATOR_PORT, "COM??????"},
    {ID_INDICATOR_BAUD, "?????? bps"},
    {ID_INDICATOR_RECEIVE, "ReceiveOn"},
    {ID_INDICATOR_RXCONV, "TxConv"},
    {ID_INDICATOR_TXCONV, "RxConv"},
    {ID_INDICATOR_KANA, "KANA"},
    {ID_INDICATOR_CAPS, "CAP"},
    {ID_INDICATOR_NUM, "NUM"},
    {ID_INDICATOR_SCRL, "SCRL"},
    {ID_INDICATOR_LINE, "LineState"},
    {IDS_LINE_NO_PORT, "No port"},
    {IDS_LINE_OPEN, "Line open"},
    {IDS_LINE_LOST, "Line lost"},
    {IDS_LINE_REOPENED, "Reopened"},
    {IDS_LINE_OPEN_AS_IS, "Open as is"},

    {ID_SEND_COMMAND, "Transmit command to serial port"},
    {ID_RECEIVE_ENABLE, "Toggle adding received data to report window (still receiving)"},
    {ID_RX_RAW, "Report received bytes directly"},
    {ID_TX_RAW, "Send bytes as input on command line"},
    {ID_RX_HEX, "Recognize received bytes are hexadecimal encoded"},
    {ID_TX_HEX, "Encode command into sequence of 2digit hex"},
    {ID_CLEAR_REPORT, "Clear Report Window"},
    {ID_RX_BIN, "Display received byte in 2digit hex "},
    {ID_TX_BIN, "Send byte as commanded in 2n-hexadecimal characters"},
    {ID_INSERT_CR, "Insert line feed to report window"},
    {ID_RX_OV, "Recognize as Orvane 1.0 packets"},
    {ID_TX_OV, "Transmit Orvane 1.0 commands"},
    {ID_LOCAL_ECHO, "Toggle local echo"},
    {ID_COMM_SETTING, "Port and Baud rate setting"},
    {ID_SAVE_SETTING, "Save Port, Baud rate, Conversions"},
    {ID_RX_OV11, "Recognize as Orvane 1.1 packets"},
    {ID_TX_OV11, "Transmit Orvane 1.1 commands"},
    {ID_EDIT_COPY, "Copy from ReportWindow to Clipboard"},
    {ID_EDIT_PASTE, "Paste from Clipboard to Command line"},
    {ID_APP_ABOUT, "Version information"},
    {ID_APP_EXIT, "Quit this software"},
    {ID_VIEW_STATUS_BAR, "Toggle status bar"},
    {ID_VIEW_BUS, "Show the nodes and registers heard on the Orvane bus"},
    {ID_LOG_START, "Keep every text of the report in a log file"},
    {ID_LOG_STOP, "Close the log file"},
    {ID_LOG_STAMPS, "Begin each line of the log with its arrival time"},
    {ID_CAPTURE_START, "Keep every byte of the line both ways in a capture file (pcapng)"},
    {ID_CAPTURE_STOP, "Close the capture file"},
    {IDS_LOG_PANE, "Log: "},
    {IDS_CAPTURE_PANE, "Capture: "},
    {ID_EDIT_FIND, "Find text in the report window"},
    {IDS_FIND_LABEL, "Find:"},
    {IDS_FIND_MATCH_CASE, "Match case"},
    {IDS_FIND_NO_MATCH, "no match"},
    {ID_VIEW_TIME_STAMPS, "Begin each received report line with the time it arrived"},
    {ID_LINE_END_CRLF, "End each Raw or Hex command with CR LF"},
    {ID_LINE_END_CR, "End each Raw or Hex command with CR"},
    {ID_LINE_END_LF, "End each Raw or Hex command with LF"},
    {ID_LINE_END_NONE, "Send Raw or Hex commands without a line end"},
    {IDS_BUS_TITLE, "Bus view"},
    {IDS_BUS_PRESENT_ONLY, "Present only"},
    {IDS_BUS_EXPORT, "Export CSV..."},
    {IDS_BUS_COLUMNS, "Register\tHex\tDecimal\tLast change\tPlot"},
    {IDS_BUS_PLOT_WINDOW, "Plot window:"},
    {IDS_BUS_MINUTES, "%1 min"},
    {IDS_BUS_NODE, "Node %1 (%2)"},
    {IDS_BUS_POINTS_DROPPED, "%1 oldest points dropped"},
    {IDS_BUS_LOG_DROPPED, "The export holds the last %1 register changes; %2 earlier ones were dropped."},
    {IDS_BUS_EXPORTED, "%1 register changes written to %2"},
    {IDS_BUS_NO_PLOT, "Tick a register's Plot box to plot it over time."},

    {ID_SC_SIZE, "Resize Window"},
    {ID_SC_MOVE, "Move Window"},
    {ID_SC_MINIMIZE, "Minimize Window"},
    {ID_SC_MAXIMIZE, "Maximize Window"},
    {ID_SC_NEXTWINDOW, "Next Window"},
    {ID_SC_PREVWINDOW, "Previous Window"},
    {ID_SC_CLOSE, "CLose Window"},
    {ID_SC_RESTORE, "Restore Window"},
    {ID_SC_TASKLIST, "Task List"},
};

constexpr StringEntry kJapanese[] = {
    {IDR_MAINFRAME, kAppName},
    {AFX_IDS_APP_TITLE, kAppName},
    {AFX_IDS_IDLEMESSAGE, "ﾚﾃﾞｨ"},

    {ID_INDICATOR_PORT, "COM??????"},
    {ID_INDICATOR_BAUD, "?????? bps"},
    {ID_INDICATOR_RECEIVE, "受信可能"},
    {ID_INDICATOR_RXCONV, "受信変換"},
    {ID_INDICATOR_TXCONV, "送信変換"},
    {ID_INDICATOR_KANA, "ｶﾅ"},
    {ID_INDICATOR_CAPS, "CAP"},
    {ID_INDICATOR_NUM, "NUM"},
    {ID_INDICATOR_SCRL, "SCRL"},
    {ID_INDICATOR_LINE, "回線状態"},
    {IDS_LINE_NO_PORT, "ﾎﾟｰﾄなし"},
    {IDS_LINE_OPEN, "接続中"},
    {IDS_LINE_LOST, "切断"},
    {IDS_LINE_REOPENED, "再接続"},
    {IDS_LINE_OPEN_AS_IS, "設定なし接続"},

    {ID_SEND_COMMAND, "コマンドを送信します"},
    {ID_RECEIVE_ENABLE, "受信の可否を設定"},
    {ID_RX_RAW, "受信変換をしません"},
    {ID_TX_RAW, "入力コマンドに改行コードを付加して送信します"},
    {ID_RX_HEX, "受信情報を１６進数として解析します"},
    {ID_TX_HEX, "入力コマンドを１６進数に変換して送信します"},
    {ID_CLEAR_REPORT, "受信結果をクリアします"},
    {ID_RX_BIN, "バイナリ受信結果を１６進表示します"},
    {ID_TX_BIN, "入力を16進数として解釈しバイナリにして送信します"},
    {ID_INSERT_CR, "受信バッファに改行をいれます"},
    {ID_RX_OV, "Orvane 受信デコード"},
    {ID_TX_OV, "Orvane 送信エンコード"},
    {ID_LOCAL_ECHO, "入力コマンドのローカルエコーバック"},
    {ID_COMM_SETTING, "通信条件の設定を行います"},
    {ID_SAVE_SETTING, "現在の設定をデフォルトとして保存"},
    {ID_RX_OV11, "Orvane ver1.1受信デコード"},
    {ID_TX_OV11, "Orvane ver1.1 送信エンコード"},
    {ID_EDIT_COPY, "選択範囲をｺﾋﾟｰしてｸﾘｯﾌﾟﾎﾞｰﾄﾞに保存\nｺﾋﾟｰ"},
    {ID_EDIT_PASTE, "ｸﾘｯﾌﾟﾎﾞｰﾄﾞの内容を貼り付け\n貼り付け"},
    {ID_APP_ABOUT, "ﾌﾟﾛｸﾞﾗﾑの情報、ﾊﾞｰｼﾞｮﾝそして著作権を表示\nﾊﾞｰｼﾞｮﾝ情報"},
    {ID_APP_EXIT, "ｱﾌﾟﾘｹｰｼｮﾝを終了し、ﾌｧｲﾙの保存を指示\n終了"},
    {ID_VIEW_STATUS_BAR, "ｽﾃｰﾀｽ ﾊﾞｰの 表示/非表示\nｽﾃｰﾀｽ ﾊﾞｰの表示切り替え"},
    {ID_VIEW_BUS, "Orvane バス上のノードとレジスタを表示"},
    {ID_LOG_START, "Report の全文をログファイルに保存"},
    {ID_LOG_STOP, "ログファイルを閉じる"},
    {ID_LOG_STAMPS, "ログの各行の先頭に受信時刻を付ける"},
    {ID_CAPTURE_START, "回線の全バイトを送受信ともキャプチャファイル (pcapng) に保存"},
    {ID_CAPTURE_STOP, "キャプチャファイルを閉じる"},
    {IDS_LOG_PANE, "ログ: "},
    {IDS_CAPTURE_PANE, "キャプチャ: "},
    {ID_EDIT_FIND, "Report ウィンドウの文字列を検索"},
    {IDS_FIND_LABEL, "検索:"},
    {IDS_FIND_MATCH_CASE, "大文字と小文字を区別"},
    {IDS_FIND_NO_MATCH, "見つかりません"},
    {ID_VIEW_TIME_STAMPS, "受信した Report の各行に受信時刻を付ける"},
    {ID_LINE_END_CRLF, "生・16進送信のコマンドを CR LF で終える"},
    {ID_LINE_END_CR, "生・16進送信のコマンドを CR で終える"},
    {ID_LINE_END_LF, "生・16進送信のコマンドを LF で終える"},
    {ID_LINE_END_NONE, "生・16進送信のコマンドに行末を付けない"},
    {IDS_BUS_TITLE, "バス表示"},
    {IDS_BUS_PRESENT_ONLY, "応答のあるノードのみ"},
    {IDS_BUS_EXPORT, "CSV 出力..."},
    {IDS_BUS_COLUMNS, "レジスタ\t16進\t10進\t最終変化\tグラフ"},
    {IDS_BUS_PLOT_WINDOW, "表示期間:"},
    {IDS_BUS_MINUTES, "%1 分"},
    {IDS_BUS_NODE, "ノード %1 (%2)"},
    {IDS_BUS_POINTS_DROPPED, "古い %1 点を破棄"},
    {IDS_BUS_LOG_DROPPED, "出力できるのは最新の %1 件です。それ以前の %2 件は破棄されました。"},
    {IDS_BUS_EXPORTED, "%1 件のレジスタ変化を %2 に出力しました"},
    {IDS_BUS_NO_PLOT, "グラフ欄をチェックするとレジスタの変化を表示します。"},

    {ID_SC_SIZE, "ｳｨﾝﾄﾞｳのｻｲｽﾞを変更"},
    {ID_SC_MOVE, "ｳｨﾝﾄﾞｳの位置を変更"},
    {ID_SC_MINIMIZE, "ｳｨﾝﾄﾞｳを最小化する"},
    {ID_SC_MAXIMIZE, "ｳｨﾝﾄﾞｳを最大化する"},
    {ID_SC_NEXTWINDOW, "次のｳｨﾝﾄﾞｳに切り替える"},
    {ID_SC_PREVWINDOW, "前のｳｨﾝﾄﾞｳに切り替える"},
    {ID_SC_CLOSE, "作業中のｳｨﾝﾄﾞｳを閉じ、変更したﾌｧｲﾙの保存を指示"},
    {ID_SC_RESTORE, "ｳｨﾝﾄﾞｳを通常のｻｲｽﾞに戻す"},
    {ID_SC_TASKLIST, "ｱﾌﾟﾘｹｰｼｮﾝの切り替え"},
};

constexpr StringTable kEnglishTable{kEnglish};
constexpr StringTable kJapaneseTable{kJapanese};

} // namespace

const char* StringTable::Find(int id) const
{
    for (const StringEntry& entry : m_entries) {
        if (entry.id == id)
            return entry.text;
    }
    return nullptr;
}

const StringTable& StringTable::Builtin(Language language)
{
    return language == Language::Japanese ? kJapaneseTable : kEnglishTable;
}
