#include "DominantColour.h"

#include <vector>

namespace {
constexpr int kCloseBelow = 80;

// The squared distance: red and blue weighted by how red the pair is on average.
int squaredDistance(const DeskColour &a, const DeskColour &b)
{
    const int meanRed = (a.red + b.red) / 2;
    const int dR = a.red - b.red;
    const int dG = a.green - b.green;
    const int dB = a.blue - b.blue;
    return (((512 + meanRed) * dR * dR) >> 8) + 4 * dG * dG + (((767 - meanRed) * dB * dB) >> 8);
}
} // namespace

std::optional<DeskColour> DominantColour::of(const QImage &picture)
{
    if (picture.isNull())
        return std::nullopt;
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
    std::vector<DeskColour> pixels;
    pixels.reserve(size_t(rgb.width()) * size_t(rgb.height()));
    for (int y = 0; y < rgb.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x)
            pixels.push_back({qRed(line[x]), qGreen(line[x]), qBlue(line[x])});
    }

    // The distance is symmetric and a pixel is always close to itself, so each pair is
    // measured once. A truncated square root below 80 means a square below 80².
    const size_t n = pixels.size();
    std::vector<int> counts(n, 1);
    for (size_t i = 0; i < n; ++i) {
        for (size_t j = i + 1; j < n; ++j) {
            if (squaredDistance(pixels[i], pixels[j]) < kCloseBelow * kCloseBelow) {
                ++counts[i];
                ++counts[j];
            }
        }
    }
    size_t best = 0;
    for (size_t i = 1; i < n; ++i) {
        if (counts[i] > counts[best])
            best = i;
    }
    return pixels[best];
}
