#pragma once

#include "resources/CommandIds.h"
#include "view/CChildView.h"

// The five conversions in the order of both conversion menus; a conversion's
// position is the index the settings profile stores.
struct Conversion {
    int rxCommand;
    int txCommand;
    const char* rxLabel;
    const char* txLabel;
    void (CChildView::*setRx)();
    void (CChildView::*setTx)();
};

inline constexpr Conversion kConversions[] = {
    {ID_RX_RAW, ID_TX_RAW, "Rx:Raw", "Tx:Raw", &CChildView::SetRxRaw, &CChildView::SetTxRaw},
    {ID_RX_HEX, ID_TX_HEX, "Rx:HEX", "Tx:HEX", &CChildView::SetRxHex, &CChildView::SetTxHex},
    {ID_RX_BIN, ID_TX_BIN, "Rx:Bin", "Tx:Bin", &CChildView::SetRxBin, &CChildView::SetTxBin},
    {ID_RX_OV, ID_TX_OV, "Rx:OV", "Tx:OV", &CChildView::SetRxOV, &CChildView::SetTxOV},
    {ID_RX_OV11, ID_TX_OV11, "Rx:OV11", "Tx:OV11", &CChildView::SetRxOV11, &CChildView::SetTxOV11},
};

inline constexpr int kConversionCount = 5;
