#pragma once
// The frame history and the frame arithmetic of the "Кадр" commands.
#include "render/MapState.h"

#include <optional>
#include <vector>

namespace zd {

// Frames in the order in which they were first shown; columns are 1-based.
class FrameHistory {
public:
    // A new frame always goes to the end, also after stepping back.
    void append(const Frame& f);
    int count() const { return static_cast<int>(m_frames.size()); }
    int pos() const { return m_pos; }
    void setPos(int pos) { if (pos >= 1 && pos <= count()) m_pos = pos; }
    const Frame& at(int column) const { return m_frames[static_cast<size_t>(column - 1)]; }
    bool canBack() const { return count() >= 2 && m_pos >= 2; }
    bool canFore() const { return m_pos != count(); }

private:
    std::vector<Frame> m_frames;
    int m_pos = 0;
};

// The smallest width and height of a frame the map shows, in map units.
inline constexpr std::int32_t kMinFrameExtent = 16;

// Zooms about the frame's centre: in halves both extents, out doubles them. A zoom that
// would make an extent smaller than kMinFrameExtent or leave the 32-bit range is refused.
std::optional<Frame> zoomFrame(const Frame& f, bool near);

// True when both extents are at least kMinFrameExtent map units.
bool frameLargeEnough(const Frame& f);

// Twips per map unit: the picture's outer diagonal in twips over the frame's diagonal in
// map units, both rounded to whole numbers first.
float kadrScaleFor(double widthTwips, double heightTwips, const Frame& f);

} // namespace zd
