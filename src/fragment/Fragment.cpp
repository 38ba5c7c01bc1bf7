#include "fragment/Fragment.h"

#include "fragment/CursorFile.h"
#include "fragment/FragControls.h"
#include "identify/AnalGeom.h"
#include "platform/FileLookup.h"
#include "render/PictureBox.h"

#include <QCoreApplication>
#include <cmath>

namespace zd {

namespace {

const QString kRamkaName = QStringLiteral("Ramka");
const QString kPictSdvigName = QStringLiteral("PictSdvig");

// Hides the map under the snapshot on the screen layer only, so that the persistent image
// survives a cancelled drag. The box reaches well past the picture on every side.
void coverWithBackColour(PictureBox& pic)
{
    const int fillStyle = pic.fillStyle();
    const Color fillColor = pic.fillColor();
    const int drawWidth = pic.drawWidth();
    pic.setFillStyle(PictureBox::FillSolid);
    pic.setFillColor(pic.backColor());
    pic.setDrawWidth(1);
    const double l = pic.scaleLeft(), t = pic.scaleTop(), w = pic.scaleWidth(), h = pic.scaleHeight();
    pic.box(l - w, t - h, l + 2 * w, t + 2 * h, pic.backColor());
    pic.setFillStyle(fillStyle);
    pic.setFillColor(fillColor);
    pic.setDrawWidth(drawWidth);
}

} // namespace

std::int16_t Fragment::signYOf(const PictureBox& pic) { return pic.scaleHeight() < 0 ? 1 : -1; }

// --- rubber-band frame ------------------------------------------------------------------

void Fragment::FragDown(PictureBox& pic, float x, float y)
{
    FragButton = kTrue;
    if (FragActive == kTrue && FragDone == kTrue) {
        FragLastX = x;
        FragLastY = y;
        FragGrab = Ramka && insideFrame(x, y) ? kTrue : kFalse;
        return;
    }
    FragActive = kTrue;
    FragSignY = signYOf(pic);
    ensureRamka(pic);
    FragPic = &pic;
    const double h = pic.scaleHeight();
    FragAspect = h != 0 ? static_cast<float>(std::fabs(pic.scaleWidth() / h)) : 1.0f;
    Ramka->setMapRect(x, y, 0, 0);
    FragX0 = x;
    FragY0 = y;
    Ramka->show();
    Ramka->raise();
}

// A frame left on this picture by an earlier drag is taken over instead of adding a second one.
void Fragment::ensureRamka(PictureBox& pic)
{
    if (Ramka && Ramka->parent() == &pic) return;
    Ramka = pic.findChild<RamkaShape*>(kRamkaName, Qt::FindDirectChildrenOnly);
    if (!Ramka) Ramka = new RamkaShape(pic);
}

void Fragment::FragMove(float x, float y)
{
    if (FragActive != kTrue || !Ramka || !FragPic) return;
    if (FragDone == kTrue) moveCompleteFrame(x, y);
    else stretchFrame(x, y);
}

bool Fragment::insideFrame(float x, float y) const
{
    const float left = Ramka->mapLeft(), top = Ramka->mapTop();
    const float right = static_cast<float>(double(left) + Ramka->mapWidth());
    const float bottom = static_cast<float>(double(top) - FragSignY * double(Ramka->mapHeight()));
    const float noMargin = 0;
    return PointInRect(x, y, left, top, right, bottom, noMargin) != 0;
}

// Only a press inside the frame drags it: a press outside never makes it jump to the pointer.
void Fragment::moveCompleteFrame(float x, float y)
{
    if (!insideFrame(x, y)) {
        FragPic->unsetCursor();
        return;
    }
    if (FragButton == kTrue && FragGrab == kTrue) {
        Ramka->moveBy(x - FragLastX, y - FragLastY);
        FragLastX = x;
        FragLastY = y;
    }
    FragPic->setCursor(Qt::SizeAllCursor);
}

void Fragment::stretchFrame(float x, float y)
{
    if (FragButton != kTrue) return;
    const float dx = x - FragX0, dy = y - FragY0;
    if (dx == 0 || dy == 0) return;
    float left = FragX0, top = FragY0;
    float width = std::fabs(dx), height = std::fabs(dy);
    if (dx < 0) left = x;
    if (FragSignY * dy > 0) top = y;
    if (width > height) height = width / FragAspect;
    else width = height * FragAspect;
    Ramka->setMapRect(left, top, width, height);
}

void Fragment::FragUp()
{
    if (FragButton != kTrue) return;
    // Complete when at least a hundredth of the picture wide, both measured on the screen.
    const bool wideEnough = Ramka && FragPic
        && double(Ramka->mapWidth()) * 100 >= std::fabs(FragPic->scaleWidth());
    if (wideEnough) {
        FragDone = kTrue;
    } else {   // dropped: the control is kept for the next frame but no longer shown
        FragActive = kFalse;
        FragDone = kFalse;
        if (Ramka) Ramka->hide();
    }
    FragButton = kFalse;
    FragGrab = kFalse;
}

void Fragment::FragEnd(const QString& command)
{
    FragActive = FragButton = FragDone = FragGrab = kFalse;
    if (FragPic) FragPic->unsetCursor();
    if (!Ramka) return;   // no frame was ever drawn
    if (command != QLatin1String("ESC")) handBackFrame();
    delete Ramka.data();
}

// A frame without width or height is not handed back: it would give the picture an empty scale.
void Fragment::handBackFrame()
{
    const float width = Ramka->mapWidth(), height = Ramka->mapHeight();
    if (!FragPic || !(width > 0) || !(height > 0)) return;
    const float top = Ramka->mapTop();
    FragPic->setScaleLeft(Ramka->mapLeft());
    FragPic->setScaleWidth(width);
    FragPic->setScaleHeight(height);
    FragPic->setScaleTop(FragSignY == -1 ? static_cast<float>(double(top) + height) : top);
}

// --- picture shift -------------------------------------------------------------------------

void Fragment::SdvigPrepare(PictureBox& pic, const QString& cursorFile)
{
    FragPic = &pic;
    QString path = cursorFile;
    path.replace(u'\\', u'/');
    std::optional<QCursor> hand;
    if (fileExists(path)) hand = loadCursorFile(findFile(path));
    pic.setCursor(hand ? *hand : QCursor(Qt::SizeAllCursor));
    ensureSnapshot(pic);
}

void Fragment::ensureSnapshot(PictureBox& pic)
{
    if (PictSdvig && PictSdvig->parent() == &pic) return;
    PictSdvig = pic.findChild<SnapshotView*>(kPictSdvigName, Qt::FindDirectChildrenOnly);
    if (PictSdvig) return;
    PictSdvig = new SnapshotView(pic);
    PictSdvig->show();
}

void Fragment::SdvigStep(std::int16_t state, float x, float y)
{
    if (state != 1 && state != -1 && SdvigRec.Dragging != kTrue) return;
    if (!FragPic) return;
    FragSignY = signYOf(*FragPic);
    switch (state) {
    case 1: sdvigPress(x, y); break;
    case 2: sdvigMoveTo(x, y); break;
    case 0: sdvigRelease(x, y); break;
    case -1: sdvigCancel(); break;
    default: break;
    }
    QCoreApplication::processEvents();
}

void Fragment::sdvigPress(float x, float y)
{
    PictureBox& pic = *FragPic;
    SdvigLeft0 = toLong(pic.scaleLeft());
    SdvigTop0 = toLong(pic.scaleTop());
    SdvigRec.X0 = x;
    SdvigRec.Y0 = y;
    SdvigRec.PixW = pic.width();
    SdvigRec.PixH = pic.height();
    ensureSnapshot(pic);
    PictSdvig->setSnapshot(pic.screenImage());
    PictSdvig->setGeometry(0, 0, SdvigRec.PixW, SdvigRec.PixH);
    PictSdvig->show();
    PictSdvig->raise();
    pic.setAutoRedraw(false);
    coverWithBackColour(pic);
    SdvigRec.Dragging = kTrue;
}

void Fragment::sdvigMoveTo(float x, float y)
{
    SdvigRec.NewLeft = (x - SdvigRec.X0) + static_cast<float>(SdvigLeft0);
    SdvigRec.NewTop = (y - SdvigRec.Y0) + static_cast<float>(SdvigTop0);
    if (PictSdvig) PictSdvig->placeAt(SdvigRec.NewLeft, SdvigRec.NewTop);
}

// The caller renders the shifted frame next; until then the picture shows its back colour.
void Fragment::sdvigRelease(float x, float y)
{
    PictureBox& pic = *FragPic;
    SdvigRec.Dragging = kFalse;
    pic.setScaleLeft(pic.scaleLeft() - (x - SdvigRec.X0));
    pic.setScaleTop(pic.scaleTop() - (y - SdvigRec.Y0));
    pic.setAutoRedraw(true);
    pic.clearPicture();
    pic.clearScreenLayer();
    removeSnapshot();
    pic.unsetCursor();
}

// A drag in progress is undone completely: the map it hid shows again, unchanged.
void Fragment::sdvigCancel()
{
    PictureBox& pic = *FragPic;
    const bool wasDragging = SdvigRec.Dragging == kTrue;
    SdvigRec.Dragging = kFalse;
    pic.unsetCursor();
    pic.setScaleLeft(SdvigLeft0);
    pic.setScaleTop(SdvigTop0);
    if (!wasDragging) return;
    pic.clearScreenLayer();
    pic.setAutoRedraw(true);
    removeSnapshot();
}

void Fragment::removeSnapshot() { delete PictSdvig.data(); }

} // namespace zd
