// Adapter and node queries: one adapter (the card's IEEE 1394 bus) with at most one
// AV device, on node 0.
#include "device/CDV1394.h"
#include "device/DeviceLog.h"
#include "KDXCORE.h"

#include <cstring>

using namespace dv1394;

LONG CDV1394::GetNumberHostAdapters() {
    KordexDDCReady();  // the first adapter query opens the card session
    return m_hKordex != 0 ? 1 : 0;
}

LONG CDV1394::GetHostAdapterName(LONG /*adapter*/, char* name) {
    if (name != nullptr) std::memcpy(name, "1394", 5);
    return 0;
}

LONG CDV1394::GetHostAdapterFormat() {
    return 0;
}

LONG CDV1394::GetHostAdapterAttributes() {
    return 11;
}

unsigned char CDV1394::HasAVDevice(LONG adapter, LONG device) {
    unsigned char connected = 0;
    if (m_hKordex != 0 && adapter == 0 && device == 0) connected = static_cast<unsigned char>(PdvIsConnectedDV2() & 0xFF);
    if (m_bTraceDeckControl) LogDDCError("PdvIsConnectedDV2", connected != 0 ? DDC_NoError : DDC_NoDevice);
    return connected;
}

unsigned char CDV1394::HasAVWritableDevice(LONG adapter, LONG device) {
    return adapter == 0 && device == 0 ? 1 : 0;
}

void CDV1394::SetToCurrentAVDevice(LONG, LONG) {}  // one device: nothing to choose

LONG CDV1394::GetMaxNodes() {
    return 1;
}

unsigned char CDV1394::SetControlNode(int node) {
    return node == 0 ? 1 : 0;
}

unsigned char CDV1394::GetControlNode(int* node) {
    if (node == nullptr) return 0;
    *node = 0;
    return 1;
}

unsigned char CDV1394::SetIONode(int node) {
    return node == 0 ? 1 : 0;
}

unsigned char CDV1394::GetIONode(int* node) {
    if (node == nullptr) return 0;
    *node = 0;
    return 1;
}

LONG CDV1394::GetNumberAVDevices(LONG /*adapter*/) {
    if (m_hKordex == 0) return 0;  // asks the card only when the session is open; never opens it
    const bool connected = PdvIsConnectedDV2() != 0;
    if (m_bTraceDeckControl) LogDDCError("PdvIsConnectedDV2", connected ? DDC_NoError : DDC_NoDevice);
    return connected ? 1 : 0;
}
