#pragma once
// What the map's pointer does in one mode: a small handler of presses, moves, releases,
// double clicks and keys, positions in map units of the current frame.
#include <Qt>

namespace zd {

class PointerMode {
public:
    virtual ~PointerMode() = default;
    virtual void press(Qt::MouseButton button, float x, float y) = 0;
    virtual void move(float, float) {}
    virtual void release(float, float) {}
    virtual void doubleClick() {}
    // Enter (13) and Esc (27); true when the key was used.
    virtual bool key(int) { return false; }
};

} // namespace zd
