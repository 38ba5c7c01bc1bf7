#include "identify/FrmKursInf.h"

#include "render/PictureBox.h"

#include <cmath>

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

double FrmKursInf::twips() const { return 1440.0 / logicalDpiY(); }

int FrmKursInf::windowWidthTwips() const { return static_cast<int>(std::lround(frameGeometry().width() * twips())); }

void FrmKursInf::setLayoutTwips(int windowHeight, int textHeight)
{
    m_windowHeight = windowHeight;
    const double t = twips();
    auto px = [t](double tw) { return static_cast<int>(std::lround(tw / t)); };
    setFixedSize(px(kClientWidth), px(kTextTop + textHeight + kTextLeft));
    m_text->setGeometry(px(kTextLeft), px(kTextTop), px(kTextWidth), px(textHeight));
    m_text->setScaleMode(PictureBox::TwipsScale);
}

void FrmKursInf::placeTwips(double left, double top)
{
    const double t = twips();
    move(static_cast<int>(std::lround(left / t)), static_cast<int>(std::lround(top / t)));
}

} // namespace zd
