// What the default sound output plays, recorded in the background and handed out in
// packets of 10 ms. A reader never waits for the sound server: it only sees what has
// arrived and the last state the capture knew of.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class SoundCapture
{
public:
    static constexpr int kSampleRate = 48000;
    static constexpr int kChannels = 2;
    static constexpr int kPacketFrames = 480;
    // Interleaved float samples, left first.
    using Packet = std::array<float, kPacketFrames * kChannels>;

    struct Status
    {
        bool serverReady = false; // connected to a sound server
        int sinkCount = 0;        // playback devices the server offers
        std::string defaultSink;
        bool streamReady = false; // the recording of the default output runs
        // Counts the recordings set up so far: a new one (another default device, a
        // changed device count, a lost recording) changes it.
        std::uint64_t streamSerial = 0;
    };

    virtual ~SoundCapture() = default;

    // Starts recording in the background if it does not run yet.
    virtual void start() = 0;
    virtual Status status() const = 0;
    // Replaces the contents of packets with the packets completed so far, oldest first,
    // and forgets them. Reuses the vector's storage.
    virtual void takePackets(std::vector<Packet> &packets) = 0;
};
