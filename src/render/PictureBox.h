#pragma once
// The picture control of the program: a Canvas shown in a widget, the persistent image
// with the screen layer over it, at the widget's size, logical DPI and device pixel ratio.
#include "render/Canvas.h"

#include <QElapsedTimer>
#include <QWidget>

namespace zd {

class PictureBox : public QWidget, public Canvas {
    Q_OBJECT
public:
    explicit PictureBox(QWidget* parent = nullptr);
    ~PictureBox() override;

    QSize pixelSize() const override { return size(); }
    Dpi dpi() const override;
    qreal deviceRatio() const override { return devicePixelRatioF(); }

protected:
    void painted() override;
    void bandsShown() override;
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void repaintWhenIdle();

    // The widget is repainted when the event loop goes idle, or earlier when drawing has
    // gone on unseen for a while, so that a long render shows its progress.
    bool m_repaintDue = false;
    QElapsedTimer m_unseen;
    mutable std::optional<Dpi> m_dpi;   // the screen's, until the widget changes screens
};

} // namespace zd
