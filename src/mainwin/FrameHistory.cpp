#include "mainwin/FrameHistory.h"

namespace zd {

void FrameHistory::append(const Frame& f)
{
    m_frames.push_back(f);
    m_pos = count();
}

} // namespace zd
