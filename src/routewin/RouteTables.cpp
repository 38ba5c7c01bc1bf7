#include "routewin/RouteTables.h"

#include <QLocale>
#include <QStandardItemModel>

namespace zd {

namespace {

QStandardItem* item(const QString& text, Qt::Alignment align = Qt::AlignLeft)
{
    auto* i = new QStandardItem(text);
    i->setEditable(false);
    i->setTextAlignment(align | Qt::AlignVCenter);
    return i;
}

QStandardItem* number(const QString& text) { return item(text, Qt::AlignRight); }

void heading(QStandardItemModel& model, const QString& title)
{
    QStandardItem* h = item(title);
    QFont bold = h->font();
    bold.setBold(true);
    h->setFont(bold);
    model.appendRow({h, item({}), item({})});
}

void group(QStandardItemModel& model, const QString& title, const std::vector<route::Subtotal>& list)
{
    heading(model, title);
    for (const route::Subtotal& t : list)
        model.appendRow({item(QStringLiteral("    ") + t.label), number(kmText(t.km)), number(QString::number(t.sections))});
}

} // namespace

QString kmText(double km)
{
    QLocale russian(QLocale::Russian, QLocale::Russia);
    russian.setNumberOptions(QLocale::OmitGroupSeparator);
    return russian.toString(km, 'f', 1);
}

void fillSections(QStandardItemModel& model, const route::Route& route)
{
    model.clear();
    model.setHorizontalHeaderLabels({QStringLiteral("№"), QStringLiteral("Откуда"), QStringLiteral("Куда"), QStringLiteral("км"),
                                     QStringLiteral("С начала, км"), QStringLiteral("Путей"), QStringLiteral("Тяга"),
                                     QStringLiteral("Дорога")});
    double sum = 0;
    int n = 0;
    for (const route::RouteSection& s : route.sections) {
        sum += s.km;
        QStandardItem* km = number((s.estimated ? QStringLiteral("≈") : QString()) + kmText(s.km));
        if (s.estimated) km->setToolTip(QStringLiteral("Длина оценена по схеме"));
        model.appendRow({number(QString::number(++n)), item(route::stationLabel(s.fromName, s.fromCode)),
                         item(route::stationLabel(s.toName, s.toCode)), km, number(kmText(sum)),
                         item(route::tracksLabel(s.tracks), Qt::AlignHCenter), item(route::tractionLabel(s.traction)),
                         item(route::railwayLabel(s.railwayName, s.railwayCode))});
    }
}

void fillTotals(QStandardItemModel& model, const route::Route& route)
{
    model.clear();
    model.setHorizontalHeaderLabels({QStringLiteral("Итоги"), QStringLiteral("км"), QStringLiteral("Перегонов")});
    group(model, QStringLiteral("По дорогам"), route.byRailway);
    group(model, QStringLiteral("По виду тяги"), route.byTraction);
    group(model, QStringLiteral("По количеству путей"), route.byTracks);
}

QString routeEnds(const route::Route& route)
{
    const route::RouteStation& a = route.stations.front();
    const route::RouteStation& b = route.stations.back();
    return route::stationLabel(a.name, a.code) + QStringLiteral(" — ") + route::stationLabel(b.name, b.code);
}

QString totalLine(const route::Route& route)
{
    QString line = QStringLiteral("%1: %2 км, перегонов: %3").arg(routeEnds(route), kmText(route.km)).arg(route.sections.size());
    if (route.estimated) line += QStringLiteral(" (длин оценено по схеме: %1)").arg(route.estimated);
    return line;
}

QString routeTitle(const route::Route& route)
{
    return QStringLiteral("Маршрут %1, %2 км").arg(routeEnds(route), kmText(route.km));
}

} // namespace zd
