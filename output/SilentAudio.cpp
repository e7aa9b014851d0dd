// The black frame and the silent audio that fill gaps in what is printed to tape.
#include "device/CDV1394.h"
#include "digitalio/DVFrame.h"

#include <new>

void CDV1394::CreateSilentReshuffler() {
    delete m_pSilentReshuffler;
    m_pSilentReshuffler = new (std::nothrow) DV25audioReshuffler(m_eAudioFormatOut.load(), m_eVideoFormat.load());
    delete m_pSilentChannels;
    // 32 kHz is written as four 12-bit channels, the other rates as two 16-bit ones.
    const int channels = m_eAudioFormatOut.load() == DIO_Audio32000 ? 4 : 2;
    m_pSilentChannels = new (std::nothrow) BitMask(channels);
    if (m_pSilentChannels != nullptr)
        for (int channel = 0; channel < channels; ++channel) m_pSilentChannels->SetBit(channel, 1);
}

unsigned char CDV1394::ShuffleSilence(BYTE* frame) {
    if (m_pSilentReshuffler == nullptr || m_pSilentChannels == nullptr || frame == nullptr) return 0;
    return m_pSilentReshuffler->ReShuffleAudio(frame, 0, m_pSilentChannels, nullptr) == 0 ? 1 : 0;
}

bool CDV1394::ConstructBlackFrame() {
    // The device owns the black frame; the DVFrame that makes it does not.
    delete[] m_pBlackFrame;
    m_pBlackFrame = nullptr;
    DVFrame* maker = new (std::nothrow) DVFrame;
    if (maker == nullptr) return false;
    m_pBlackFrame = maker->GenBlackFrame(m_eVideoFormat.load());
    delete maker;
    CreateSilentReshuffler();
    if (m_pBlackFrame == nullptr) return false;
    return ShuffleSilence(m_pBlackFrame) != 0;
}
