#pragma once
// The frame history of the "Кадр" commands "Назад" and "Вперед".
#include "render/View.h"

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

} // namespace zd
