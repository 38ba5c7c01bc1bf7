#include "mainwin/LatinLabels.h"

#include "map/MapHost.h"

#include <QAction>
#include <QMenu>
#include <QSettings>

namespace zd {

namespace {
const QString kSetting = QStringLiteral("map/latinLabels");
} // namespace

QAction* addLatinLabelsItem(MapHost& host, QMenu& menu)
{
    QAction* item = menu.addAction(QStringLiteral("Подписи &латиницей"));
    item->setObjectName(QStringLiteral("mnuService_Latin"));
    item->setCheckable(true);
    const bool kept = QSettings().value(kSetting, false).toBool();
    item->setChecked(kept);
    host.state().latinNames = kept;
    QObject::connect(item, &QAction::toggled, item, [&host](bool on) {
        QSettings().setValue(kSetting, on);
        host.state().latinNames = on;
        host.redrawFrame();
    });
    return item;
}

} // namespace zd
