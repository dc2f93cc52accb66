#include "ComputerVolume.h"

#include "PulseLoopbackCapture.h"

#include <QDebug>

namespace {
constexpr int kNoLevel = -1;
}

ComputerVolume::ComputerVolume(QObject *parent)
    : ComputerVolume(std::make_unique<PulseLoopbackCapture>(), parent)
{
}

ComputerVolume::ComputerVolume(std::unique_ptr<SoundCapture> capture, QObject *parent)
    : QObject(parent)
    , m_capture(std::move(capture))
{
    m_packets.reserve(PulseLoopbackCapture::kMaxPackets);
    InitialComputerVolume();
}

ComputerVolume::~ComputerVolume() = default;

void ComputerVolume::InitialComputerVolume()
{
    scanAudio();
    m_spectrum.reset();
}

void ComputerVolume::scanAudio()
{
    m_capture->start();
}

int ComputerVolume::UpdateVolumeValue()
{
    const SoundCapture::Status status = m_capture->status();
    if (!status.serverReady || status.sinkCount == 0)
        return kNoLevel;
    // Another device count, another default device or a lost recording: the capture
    // sets up a new recording by itself; what was gathered before is not measured.
    if (status.sinkCount != m_deviceCount || status.streamSerial != m_streamSerial || !status.streamReady) {
        m_deviceCount = status.sinkCount;
        m_streamSerial = status.streamSerial;
        m_capture->takePackets(m_packets);
        return kNoLevel;
    }
    m_spectrum.decay();
    m_capture->takePackets(m_packets);
    for (const SoundCapture::Packet &packet : m_packets)
        m_spectrum.takePacket(packet.data(), SoundCapture::kPacketFrames);
    return m_spectrum.measure();
}

void ComputerVolume::slot_GetVolume()
{
    const int first = UpdateVolumeValue();
    qDebug() << "GetVolume" << first;
    emit sendVolume(UpdateVolumeValue());
}
