#pragma once
// The station search window "Поиск станции".
#include <QWidget>

namespace zd {

class FrmZdMain;

class FrmZdFind : public QWidget {
    Q_OBJECT
public:
    explicit FrmZdFind(FrmZdMain& main);
    ~FrmZdFind() override;

    void LoadFind();      // sets the window up and shows it
    void ListStn();       // fills the station list under the current category and marking mode
    void RamView();       // outlines the preview zone on the main map (shpFindPic)
    void clearNoStn();    // empties lblFind_NoStn after a successful render

private:
    FrmZdMain& m_main;
};

} // namespace zd
