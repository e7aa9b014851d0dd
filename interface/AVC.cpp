// The host's AV/C frame record: editing by field, packing into bus order.
#include "interface/DigitalDevice.h"

#include <cstring>

AVC::AVC(bool response) : m_bResponse(response ? 1 : 0) {
    Reset();
}

void AVC::Reset() {
    m_nLength = kHeaderLength;
    m_cCType = 0;
    m_cResponse = 0;
    m_cOpcode = 0;
    std::memset(m_aOperands, 0, sizeof(m_aOperands));
    m_nSubunitType = 0;
    m_nSubunitID = 0;
    std::memset(m_aFrame, 0, sizeof(m_aFrame));
}

void AVC::SetOperand(int index, BYTE value) {
    if (index < 0 || index >= kOperandCount) return;
    m_aOperands[index] = value;
    if (index + 4 > m_nLength) m_nLength = index + 4;
}

BYTE AVC::GetOperand(int index) const {
    if (index < 0 || index >= kOperandCount) return 0;
    return m_aOperands[index];
}

void AVC::Pack() {
    const BYTE code = m_bResponse != 0 ? m_cResponse : m_cCType;
    m_aFrame[0] = static_cast<BYTE>(code & 0x0F);
    m_aFrame[1] = static_cast<BYTE>((m_nSubunitType << 3) | (m_nSubunitID & 7));
    m_aFrame[2] = m_cOpcode;
    std::memcpy(m_aFrame + 3, m_aOperands, kOperandCount);
}

void AVC::Unpack() {
    if (m_bResponse != 0) {
        m_cResponse = static_cast<BYTE>(m_aFrame[0] & 0x0F);
    } else {
        m_cCType = static_cast<BYTE>(m_aFrame[0] & 0x0F);
    }
    m_nSubunitType = m_aFrame[1] >> 3;
    m_nSubunitID = m_aFrame[1] & 7;
    m_cOpcode = m_aFrame[2];
    std::memcpy(m_aOperands, m_aFrame + 3, kOperandCount);
}
