#include "dorfind/FrmZdDor.h"

#include "mainwin/FrmZdMain.h"

namespace zd {

FrmZdDor::FrmZdDor(FrmZdMain& main) : QWidget(&main, Qt::Tool), m_main(main)
{
    setObjectName(QStringLiteral("frmZdDor"));
    setWindowTitle(QStringLiteral("Поиск дороги"));
    setAttribute(Qt::WA_DeleteOnClose);
}

FrmZdDor::~FrmZdDor() = default;

void FrmZdDor::LoadFindDor() { show(); }
void FrmZdDor::DorLight(bool) {}

} // namespace zd
