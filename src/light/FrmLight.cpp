#include "light/FrmLight.h"

#include "mainwin/FrmZdMain.h"

namespace zd {

FrmLight::FrmLight(FrmZdMain& main) : QWidget(&main, Qt::Tool), m_main(main)
{
    setObjectName(QStringLiteral("frmLight"));
    setWindowTitle(QStringLiteral("Выбор типа подсветки"));
    setAttribute(Qt::WA_DeleteOnClose);
}

FrmLight::~FrmLight() = default;

void FrmLight::LoadLight() {}
void FrmLight::PeregonLight(bool) {}
void FrmLight::StnLight(bool) {}

} // namespace zd
