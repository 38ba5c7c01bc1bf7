#pragma once
// The two pointer tools of the map picture: the rubber-band frame (select a fragment, move
// it, hand it back through the picture's scale) and the picture shift (a snapshot of the
// map follows the pointer; the release moves the picture's scale origin by the drag).
// Every position is in the picture's scale units, i.e. map units.
#include "data/ZdTypes.h"
#include "fragment/FragControls.h"

#include <QPointer>
#include <QString>
#include <cstdint>

namespace zd {

class PictureBox;

class Fragment {
public:
    // --- rubber-band frame
    void FragDown(PictureBox& pic, float x, float y);
    void FragMove(float x, float y);
    void FragUp();
    // "" applies the frame: scale left/width/height = the frame's, scale top = the frame's
    // lower edge (y downward) or upper edge (y upward). "ESC" drops it. Both remove "Ramka".
    void FragEnd(const QString& command);

    // --- picture shift; cursorFile is the pointer shown while dragging (optional file)
    void SdvigPrepare(PictureBox& pic, const QString& cursorFile);
    // 1 press, 2 move, 0 release (moves the scale origin), -1 cancel (puts it back).
    void SdvigStep(std::int16_t state, float x, float y);

    // --- state for the map's handlers and the tests
    bool fragActive() const { return FragActive == kTrue; }
    bool fragDone() const { return FragDone == kTrue; }
    bool frameComplete() const { return fragActive() && fragDone(); }
    bool sdvigDragging() const { return SdvigRec.Dragging == kTrue; }
    float fragAspect() const { return FragAspect; }
    RamkaShape* ramka() const { return Ramka; }
    SnapshotView* pictSdvig() const { return PictSdvig; }

private:
    struct SdvigState {
        std::int32_t PixW = 0, PixH = 0;   // the picture's outer size in pixels
        Flag Dragging = kFalse;
        float X0 = 0, Y0 = 0;              // pointer at the press
        float NewLeft = 0, NewTop = 0;     // last placement of the snapshot
    };

    static std::int16_t signYOf(const PictureBox& pic);
    void ensureRamka(PictureBox& pic);
    bool insideFrame(float x, float y) const;
    void moveCompleteFrame(float x, float y);
    void stretchFrame(float x, float y);
    void handBackFrame();
    void ensureSnapshot(PictureBox& pic);
    void sdvigPress(float x, float y);
    void sdvigMoveTo(float x, float y);
    void sdvigRelease(float x, float y);
    void sdvigCancel();
    void removeSnapshot();

    QPointer<PictureBox> FragPic;
    QPointer<RamkaShape> Ramka;
    float FragX0 = 0, FragY0 = 0;
    std::int16_t FragSignY = -1;
    Flag FragActive = kFalse, FragButton = kFalse, FragDone = kFalse;
    Flag FragGrab = kFalse;   // the button went down inside the complete frame
    float FragLastX = 0, FragLastY = 0;
    float FragAspect = 1;
    std::int32_t SdvigLeft0 = 0, SdvigTop0 = 0;
    QPointer<SnapshotView> PictSdvig;
    SdvigState SdvigRec;
};

} // namespace zd
