#pragma once
// "Сервис" → "Подписи латиницей": the station names of the map, of the popup of the object
// under the pointer and of exports in Latin letters. Off until the user turns it on; the
// choice is kept between runs in the program's settings.
class QAction;
class QMenu;

namespace zd {

class MapHost;

// Adds the check item (mnuService_Latin) to the menu and gives the map the kept choice.
QAction* addLatinLabelsItem(MapHost& host, QMenu& menu);

} // namespace zd
