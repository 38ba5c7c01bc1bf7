#pragma once
// The route as the window's tables show it: one row per section in the order of travel,
// the subtotals by railway, traction and tracks, and the line with the total.
#include "route/Route.h"

#include <QString>

class QStandardItemModel;

namespace zd {

// Kilometres with one decimal and a decimal comma, as the window shows every length.
QString kmText(double km);

// №, Откуда, Куда, км (estimated lengths marked), С начала км, Путей, Тяга, Дорога.
void fillSections(QStandardItemModel& model, const route::Route& route);

// A heading row per group ("По дорогам", "По виду тяги", "По количеству путей"), then its
// subtotals: label, km, sections.
void fillTotals(QStandardItemModel& model, const route::Route& route);

// "A — B", the route's first and last stations.
QString routeEnds(const route::Route& route);

// "A — B: … км, перегонов: …", with the estimated lengths when any.
QString totalLine(const route::Route& route);

// "Маршрут A — B, … км": the title line of a picture that shows the route.
QString routeTitle(const route::Route& route);

} // namespace zd
