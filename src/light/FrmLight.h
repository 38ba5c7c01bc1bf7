#pragma once
// The highlight window "Выбор типа подсветки": sections by traction, tracks or length,
// stations by category.
#include <QWidget>

namespace zd {

class FrmZdMain;

class FrmLight : public QWidget {
    Q_OBJECT
public:
    explicit FrmLight(FrmZdMain& main);
    ~FrmLight() override;

    void LoadLight();
    void PeregonLight(bool light);   // sections of the criterion, highlighted or ordinary
    void StnLight(bool light);       // stations of the ticked categories, highlighted or ordinary

private:
    FrmZdMain& m_main;
};

} // namespace zd
