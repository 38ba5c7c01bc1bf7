#pragma once
// The desk's tests run on a grid of stations over the left half of the scheme, every
// section 1 km per 100 map units long, "Москва" at its middle; the right half is empty.
#include "MapWindow.h"

#include <QSettings>

namespace zdtest {

inline constexpr double kKmPerUnit = 0.01;
inline constexpr double kMoscowX = 22000, kMoscowY = 16000;

QString gridNetworkSql();

// The main window on the grid network, its settings in a file of the test's own.
class DeskTest : public MapWindowTest {
protected:
    void startDesk(const QString& script = gridNetworkSql());
    std::unique_ptr<QSettings> settings() const;
    void key(int k, Qt::KeyboardModifiers mods = Qt::NoModifier);
    QString statusMessage() const;
    QString statusLabel(const char* name) const;
};

} // namespace zdtest
