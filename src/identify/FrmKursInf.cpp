#include "identify/FrmKursInf.h"

#include "platform/WindPos.h"
#include "render/PictureBox.h"

namespace zd {

namespace {
constexpr int kClientWidth = 2715;            // twips
constexpr int kTextLeft = 45, kTextTop = 60, kTextWidth = 2595;
} // namespace

FrmKursInf::FrmKursInf(QWidget* owner)
    : QWidget(owner, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus)
{
    setObjectName(QStringLiteral("frmKursInf"));
    setWindowTitle(QStringLiteral("Информация на курсоре"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    m_text = new PictureBox(this);
    m_text->setObjectName(QStringLiteral("picKursInf_Text"));
    m_text->setBackColor(0xFFFFFF);
    m_text->setFontFamily(font().family());
    setLayoutTwips(1650, 1545);
}

int FrmKursInf::windowWidthTwips() const { return qRound(dpiOf(*this).twipsX(frameGeometry().width())); }

void FrmKursInf::setLayoutTwips(int windowHeight, int textHeight)
{
    m_windowHeight = windowHeight;
    const Dpi dpi = dpiOf(*this);
    setFixedSize(dpi.pixelsX(kClientWidth), dpi.pixelsY(kTextTop + textHeight + kTextLeft));
    m_text->setGeometry(dpi.pixelsX(kTextLeft), dpi.pixelsY(kTextTop), dpi.pixelsX(kTextWidth), dpi.pixelsY(textHeight));
    m_text->setScaleMode(Canvas::TwipsScale);
}

void FrmKursInf::placeTwips(double left, double top)
{
    const Dpi dpi = dpiOf(*this);
    move(dpi.pixelsX(left), dpi.pixelsY(top));
}

} // namespace zd
