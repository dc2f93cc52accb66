// The colour that most pixels of a small picture resemble: each pixel counts the pixels
// (itself included) within a perceptual distance of 80 of it; the one with the most wins,
// the first in row order on a tie. Picking an existing pixel instead of averaging keeps a
// dark screen with a few bright spots dark.
#pragma once

#include <QImage>

#include <optional>

struct DeskColour
{
    int red = 0;
    int green = 0;
    int blue = 0;

    bool operator==(const DeskColour &other) const
    {
        return red == other.red && green == other.green && blue == other.blue;
    }
};

class DominantColour
{
public:
    DominantColour() = delete;

    // Nothing for an empty picture.
    static std::optional<DeskColour> of(const QImage &picture);
};
