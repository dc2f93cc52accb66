// The arithmetic of the sound level: the newest 256 samples, a windowed real FFT, 64
// weighted bands that hold their peak and decay, smoothing, and one level from 0 to 100.
// Pure computation on the caller's thread; the samples come from wherever the caller
// records them.
#pragma once

#include <array>

class VolumeSpectrum
{
public:
    static constexpr int kSize = 256;
    static constexpr int kBands = 64;
    enum WindowKind { Hann = 1, Hamming = 2, Blackman = 3 };

    VolumeSpectrum();

    // Every value back to its start: bands and samples 0, the tables computed.
    void reset();

    // One poll in three steps: decay the bands, take what was recorded, measure.
    void decay();
    // A packet of interleaved stereo float frames. Each step takes the left sample of
    // every second frame, 16 bytes apart, for as long as 4·step is below the frame
    // count: the rate the level was tuned for.
    void takePacket(const float *interleaved, int frames);
    // Level 0 to 100 from the newest samples; also updates the bands.
    int measure();

    float spectrum(int index) const { return m_spectrum[std::size_t(index)]; }
    void setWindowKind(int kind) { m_windowKind = kind; }

    // The forward real FFT of count values in place (count a power of two, at least 4),
    // packed and scaled as the level expects: elements 0 and 1 hold the zero and the
    // highest frequency, then the complex coefficients 1 to count/2 - 1 in pairs, each
    // the sum of x[j]·e^(2πi·jk/count) divided by count.
    static void realFft(float *data, int count);

private:
    void pushSample(float sample);
    const std::array<float, kSize> *window() const;
    void smooth();

    std::array<float, kSize> m_spectrum{};
    // The newest kSize samples as a ring: m_oldest is where the next one goes.
    std::array<float, kSize> m_samples{};
    int m_oldest = 0;
    int m_gain = 100;
    int m_decay = 80;
    int m_smoothingWidth = 8;
    int m_windowKind = Hann;
    std::array<float, kSize> m_hann{};
    std::array<float, kSize> m_hamming{};
    std::array<float, kSize> m_blackman{};
    std::array<float, kSize> m_weight{};
};
