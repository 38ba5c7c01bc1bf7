#pragma once
// The railway search window "Поиск дороги".
#include <QWidget>

namespace zd {

class FrmZdMain;

class FrmZdDor : public QWidget {
    Q_OBJECT
public:
    explicit FrmZdDor(FrmZdMain& main);
    ~FrmZdDor() override;

    void LoadFindDor();       // fills the railway list and shows the window
    void DorLight(bool light);   // draws the picked railway highlighted (true) or ordinary (false)

private:
    FrmZdMain& m_main;
};

} // namespace zd
