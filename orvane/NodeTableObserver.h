#pragma once

#include <cstdint>

// One listener that hears NodeTable change as the decoder changes it, so that
// a live view need not poll the table. At most one observer at a time; it is
// called on the user-interface thread, inside the decoder, and must not feed
// packets back into a converter. A packet that failed its checksum changes
// nothing and so notifies nothing.

struct RegisterStore {
    uint32_t tick;     // the raw-mode record's time stamp for this packet
    int node;          // the sender, whose slot changed
    int destination;   // destination byte & 0x3F, as raw-mode records show it
    bool wide;         // reg32 rather than reg16
    int reg;           // 0..15
    int32_t value;
};

class NodeTableObserver {
public:
    virtual ~NodeTableObserver() = default;
    // The node's valid flag was set (also when it was set already).
    virtual void OnNodePresent(int node) = 0;
    // A register reply was stored, after its line or record was rendered.
    virtual void OnRegisterStore(const RegisterStore& store) = 0;
    // "shownode clear" emptied the table.
    virtual void OnTableCleared() = 0;
};

// Returns the observer it replaces; nullptr stops notifications.
NodeTableObserver* SetNodeTableObserver(NodeTableObserver* observer);
NodeTableObserver* CurrentNodeTableObserver();
