#include "orvane/CXrateOV.h"
#include "orvane/CXrateOV11.h"
#include "orvane/PacketDecoder.h"
#include "xrate/MessageBox.h"

const char* CXrateOV::XrateReceive(const unsigned char* bytes, int count)
{
    return ReceiveChunk(bytes, count, FrameVersion::V10);
}

const char* CXrateOV11::XrateReceive(const unsigned char* bytes, int count)
{
    return ReceiveChunk(bytes, count, FrameVersion::V11);
}

const char* CXrateOV::ReceiveChunk(const unsigned char* bytes, int count, FrameVersion version)
{
    ReceiveText.Clear();

    // A packet in progress never holds more than the largest packet; should
    // the framer ever say otherwise, its bytes cannot be trusted.
    if (Framer.Count() > LargestPacket(version)) {
        if (version == FrameVersion::V10)
            ShowMessageBox(nullptr, "Internal error", "Orvane11", kMbOk);
        else
            ShowMessageBox(nullptr, "Internal Error", "Orvane11::XrateReceive", kMbOk);
        Framer.DropPacket();
    }

    for (int i = 0; i < count; ++i) {
        // A chunk from the receive pump always fits; only a caller handing
        // over far more than a chunk can get here.
        if (ReceiveText.Length() > ReceiveText.Capacity() - kLongestByteText) {
            ReceiveText.Clear();
            ReceiveText.Append("Report outputbuffer Overflowed: cleared.\r\n");
        }
        if (Framer.Push(bytes[i], version, ReceiveText)) {
            PacketIntact = Framer.ChecksumPassed();
            DecodePacket(Framer.Destination(), Framer.PayloadLength(), Framer.Payload());
            PacketIntact = true;
        }
    }
    return ReceiveText.Text();
}

void CXrateOV::DecodePacket(int destination, int payloadLength, const unsigned char* payload)
{
    DecodeOrvanePacket(ReceiveText, destination, payloadLength, payload, PacketIntact);
}
