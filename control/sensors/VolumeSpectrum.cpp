#include "VolumeSpectrum.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {
constexpr double kPi = 3.141592653589793;
constexpr float kSampleBound = 1.0e6f;

// The complex FFT of pairs complex values (interleaved real, imaginary) in place, with
// the transform's usual e^(+2πi·jk/n) and no scaling: bit reversal, then butterflies
// whose twiddles advance by a recurrence in double.
void complexFft(float *data, int pairs)
{
    const int n = pairs * 2;
    for (int i = 0, j = 0; i < n; i += 2) {
        if (j > i) {
            std::swap(data[j], data[i]);
            std::swap(data[j + 1], data[i + 1]);
        }
        int m = pairs;
        while (m >= 2 && j >= m) {
            j -= m;
            m >>= 1;
        }
        j += m;
    }
    for (int span = 2; span < n; span *= 2) {
        const int step = span * 2;
        const double theta = 2.0 * kPi / span;
        const double half = std::sin(0.5 * theta);
        const double wpr = -2.0 * half * half;
        const double wpi = std::sin(theta);
        double wr = 1.0;
        double wi = 0.0;
        for (int m = 0; m < span; m += 2) {
            for (int i = m; i < n; i += step) {
                const int j = i + span;
                const float tr = float(wr * data[j] - wi * data[j + 1]);
                const float ti = float(wr * data[j + 1] + wi * data[j]);
                data[j] = data[i] - tr;
                data[j + 1] = data[i + 1] - ti;
                data[i] += tr;
                data[i + 1] += ti;
            }
            const double previous = wr;
            wr = wr * wpr - wi * wpi + wr;
            wi = wi * wpr + previous * wpi + wi;
        }
    }
}
} // namespace

VolumeSpectrum::VolumeSpectrum()
{
    reset();
}

void VolumeSpectrum::reset()
{
    m_spectrum.fill(0.0f);
    m_samples.fill(0.0f);
    m_oldest = 0;
    m_gain = 100;
    m_decay = 80;
    m_smoothingWidth = 8;
    m_windowKind = Hann;
    for (int i = 0; i < kSize; ++i) {
        const double x = 2.0 * kPi * i / kSize;
        m_hann[std::size_t(i)] = float((1.0 - std::cos(x)) / 2.0);
        m_hamming[std::size_t(i)] = float(0.54 - 0.46 * std::cos(x));
        m_blackman[std::size_t(i)] = float(0.42 - 0.5 * std::cos(x) + 0.08 * std::cos(2.0 * x));
        m_weight[std::size_t(i)] = float(i * 0.00390625 * 2.0 + 0.1);
    }
}

void VolumeSpectrum::decay()
{
    const float kept = float(m_decay) / 100.0f;
    for (float &band : m_spectrum)
        band *= kept;
}

void VolumeSpectrum::takePacket(const float *interleaved, int frames)
{
    for (int s = 0; 4 * s < frames; ++s) {
        // A broken sample would turn the whole transform into NaN, which reads as full
        // level; sound lies within ±1, so the bound changes nothing real.
        const float sample = interleaved[4 * s];
        const float bounded = std::isfinite(sample) ? std::clamp(sample, -kSampleBound, kSampleBound) : 0.0f;
        pushSample(float(2 * m_gain) * bounded);
    }
}

void VolumeSpectrum::pushSample(float sample)
{
    m_samples[std::size_t(m_oldest)] = sample;
    m_oldest = (m_oldest + 1) % kSize;
}

const std::array<float, VolumeSpectrum::kSize> *VolumeSpectrum::window() const
{
    switch (m_windowKind) {
    case Hann:
        return &m_hann;
    case Hamming:
        return &m_hamming;
    case Blackman:
        return &m_blackman;
    default:
        return nullptr;
    }
}

int VolumeSpectrum::measure()
{
    // Both halves of a pair hold the same sample, oldest first.
    std::array<float, 2 * kSize> work;
    for (int k = 0; k < kSize; ++k) {
        const float sample = m_samples[std::size_t((m_oldest + k) % kSize)];
        work[std::size_t(2 * k)] = sample;
        work[std::size_t(2 * k + 1)] = sample;
    }
    if (const auto *table = window()) {
        for (int i = 0; i < kSize; ++i)
            work[std::size_t(i)] *= (*table)[std::size_t(i)];
    }
    realFft(work.data(), int(work.size()));
    work[0] = work[2];
    for (int i = 0; i < kSize; ++i)
        work[std::size_t(i)] *= m_weight[std::size_t(i)];

    for (int b = 0; b < kBands; ++b) {
        const double re = work[std::size_t(2 * b)];
        const double im = work[std::size_t(2 * b + 1)];
        const double m = std::sqrt(re * re + im * im);
        const double v = std::min(1.0, 0.5 * std::log10(1.1 * m) + 0.9 * m);
        float &held = m_spectrum[std::size_t(4 * b)];
        if (v > held)
            held = float(v);
        if (held < 0.0f)
            held = 0.0f;
        std::fill_n(m_spectrum.begin() + 4 * b + 1, 3, held);
    }
    smooth();
    return int(m_spectrum[10] * 100.0f);
}

void VolumeSpectrum::smooth()
{
    const int width = m_smoothingWidth;
    const auto flatten = [this, width](int start) {
        float sum = 0.0f;
        for (int i = start; i < start + width; ++i)
            sum += m_spectrum[std::size_t(i)];
        std::fill_n(m_spectrum.begin() + start, width, sum / float(width));
    };
    flatten(0);
    flatten(kSize - width);
    for (int start = 0; start < kSize - width; start += width)
        flatten(start);
}

void VolumeSpectrum::realFft(float *data, int count)
{
    const double c1 = 0.5;
    const double c2 = -0.5;
    complexFft(data, count / 2);
    const float scale = 1.0f / float(count);
    for (int i = 0; i < count; ++i)
        data[i] *= scale;

    // Split the transform of the interleaved halves into that of the real sequence.
    const double theta = kPi / (count / 2);
    const double half = std::sin(0.5 * theta);
    const double wpr = -2.0 * half * half;
    const double wpi = std::sin(theta);
    double wr = 1.0 + wpr;
    double wi = wpi;
    for (int i = 1; i < count / 4; ++i) {
        const int i1 = 2 * i;
        const int i2 = i1 + 1;
        const int i3 = count - i1;
        const int i4 = i3 + 1;
        const double h1r = c1 * (data[i1] + data[i3]);
        const double h1i = c1 * (data[i2] - data[i4]);
        const double h2r = -c2 * (data[i2] + data[i4]);
        const double h2i = c2 * (data[i1] - data[i3]);
        data[i1] = float(h1r + wr * h2r - wi * h2i);
        data[i2] = float(h1i + wr * h2i + wi * h2r);
        data[i3] = float(h1r - wr * h2r + wi * h2i);
        data[i4] = float(-h1i + wr * h2i + wi * h2r);
        const double previous = wr;
        wr = wr * wpr - wi * wpi + wr;
        wi = wi * wpr + previous * wpi + wi;
    }
    const float first = data[0];
    data[0] = first + data[1];
    data[1] = first - data[1];
}
