#pragma once
// The run-time controls of the frame tools, children of the map picture: the rubber-band
// frame "Ramka" and the snapshot "PictSdvig". Both let the pointer through to the picture.
#include <QImage>
#include <QWidget>

namespace zd {

class PictureBox;

// A one-pixel outline in the window-text colour, not filled, placed in the picture's map
// units. Top is the frame's upper edge on screen, width and height are never negative.
class RamkaShape : public QWidget {
    Q_OBJECT
public:
    explicit RamkaShape(PictureBox& pic);

    float mapLeft() const { return m_left; }
    float mapTop() const { return m_top; }
    float mapWidth() const { return m_width; }
    float mapHeight() const { return m_height; }
    void setMapRect(float left, float top, float width, float height);
    void moveBy(float dx, float dy) { setMapRect(m_left + dx, m_top + dy, m_width, m_height); }

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void relayout();
    PictureBox& m_pic;
    float m_left = 0, m_top = 0, m_width = 0, m_height = 0;
};

// A copy of what the picture showed, moved about in the picture's map units.
class SnapshotView : public QWidget {
    Q_OBJECT
public:
    explicit SnapshotView(PictureBox& pic);
    void setSnapshot(const QImage& image);
    void placeAt(double mapLeft, double mapTop);   // top-left corner in map units

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    PictureBox& m_pic;
    QImage m_image;
};

} // namespace zd
