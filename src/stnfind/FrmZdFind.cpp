#include "stnfind/FrmZdFind.h"

#include "mainwin/FrmZdMain.h"

namespace zd {

FrmZdFind::FrmZdFind(FrmZdMain& main) : QWidget(&main, Qt::Tool), m_main(main)
{
    setObjectName(QStringLiteral("frmZdFind"));
    setWindowTitle(QStringLiteral("Поиск станции"));
    setAttribute(Qt::WA_DeleteOnClose);
}

FrmZdFind::~FrmZdFind() = default;

void FrmZdFind::LoadFind() { show(); }
void FrmZdFind::ListStn() {}
void FrmZdFind::RamView() {}
void FrmZdFind::clearNoStn() {}

} // namespace zd
