// Level of what the default sound output plays, asked for once per frame by the
// lighting engine in the sound-driven modes: 0 to 100, or -1 while there is nothing to
// measure (no sound server, no playback device) or the recording is being set up anew.
//
// Threads: the recording runs on a thread of its own (SoundCapture). slot_GetVolume and
// the polls run on the engine's frame thread through direct connections; a poll only
// takes what the recording has gathered and never waits for the sound server.
#pragma once

#include "SoundCapture.h"
#include "VolumeSpectrum.h"

#include <QObject>

#include <cstdint>
#include <memory>
#include <vector>

class ComputerVolume : public QObject
{
    Q_OBJECT
public:
    // Records through the session's PulseAudio (or PipeWire) server.
    explicit ComputerVolume(QObject *parent = nullptr);
    explicit ComputerVolume(std::unique_ptr<SoundCapture> capture, QObject *parent = nullptr);
    ~ComputerVolume() override;

    void InitialComputerVolume();
    void scanAudio();
    int UpdateVolumeValue();

signals:
    void sendVolume(int level);

public slots:
    void slot_GetVolume();

private:
    std::unique_ptr<SoundCapture> m_capture;
    VolumeSpectrum m_spectrum;
    std::vector<SoundCapture::Packet> m_packets;
    // The devices and the recording the last measurement was made with.
    int m_deviceCount = 0;
    std::uint64_t m_streamSerial = 0;
};
