#include "WindowInvariants.h"

#include "identify/FrmKursInf.h"
#include "render/PictureBox.h"

#include <QAction>
#include <cmath>
#include <set>

namespace zdtest {

namespace {

template <class... A>
std::string fmt(const char* format, A... args)
{
    return QString::asprintf(format, args...).toStdString();
}

std::string badFrame(const zd::Frame& f)
{
    if (f.x1 < f.x2 && f.y1 < f.y2) return {};
    return fmt("(%d, %d, %d, %d) has no extent", f.x1, f.y1, f.x2, f.y2);
}

std::string brokenHistory(zd::FrmZdMain& w, bool buttons)
{
    const zd::FrameHistory& h = w.history();
    if (h.count() > 0 ? h.pos() < 1 || h.pos() > h.count() : h.pos() != 0)
        return fmt("HistPos %d outside 1..HistCount %d", h.pos(), h.count());
    const bool back = h.count() >= 2 && h.pos() >= 2, fore = h.pos() != h.count();
    for (const auto& [name, on] : {std::pair{"mnuKadrBack", back}, std::pair{"mnuKadrFore", fore}}) {
        if (!buttons) break;
        if (w.menuItem(QLatin1String(name))->isEnabled() != on || w.button(QLatin1String(name))->isEnabled() != on)
            return fmt("%s is not %s with HistPos %d, HistCount %d", name, on ? "enabled" : "disabled", h.pos(), h.count());
    }
    // Long histories are sampled: all of the last entries, every seventh before them.
    for (int c = 1; c <= h.count(); c += (h.count() > 64 && c < h.count() - 32 ? 7 : 1))
        if (const std::string bad = badFrame(h.at(c)); !bad.empty()) return fmt("history frame %d ", c) + bad;
    return {};
}

std::string brokenMenus(zd::FrmZdMain& w)
{
    for (const char* menu : {"mnuMagist", "mnuZdLight", "mnuZdFind"})
        if (!w.menuItem(QLatin1String(menu))->isEnabled()) return fmt("menu %s disabled with no render running", menu);
    static const char* const rus[] = {"mnuZdLight_RusAll", "mnuZdLight_RusOnly", "mnuZdLight_RusBlank"};
    const int mode = w.state().rusMode;
    if (mode < 0 || mode > 2) return fmt("RusMode %d", mode);
    for (int m = 0; m < 3; ++m)
        if (w.menuItem(QLatin1String(rus[m]))->isChecked() != (m == mode))
            return fmt("the check mark of %s does not match RusMode %d", rus[m], mode);
    if (w.menuItem(QStringLiteral("mnuZdGen"))->isChecked() != w.genOn()) return "the check mark of mnuZdGen does not match GenOn";
    return {};
}

// With no button down nothing is marked and the map's coordinate system is its frame.
std::string brokenAtRest(zd::FrmZdMain& w)
{
    if (w.kursInfObj() != 0) return fmt("KursInfObj %d with no button held", w.kursInfObj());
    const zd::PictureBox& pic = w.picZdMain();
    if (!pic.autoRedraw()) return "the map draws on its screen layer only with no button held";
    if (const zd::FrmKursInf* p = w.kursInfo().popup(); p && p->isVisible()) return "the popup is shown with no button held";
    const zd::Frame& k = w.state().kadr;
    const double d[] = {pic.scaleLeft() - k.x1, pic.scaleTop() - k.y1, pic.scaleWidth() - (double(k.x2) - k.x1),
                        pic.scaleHeight() - (double(k.y2) - k.y1)};
    for (const double v : d)
        if (std::abs(v) > 0.5)
            return fmt("the map's scale (%.1f, %.1f, %.1f x %.1f) is not the frame (%d, %d, %d, %d)", pic.scaleLeft(),
                       pic.scaleTop(), pic.scaleWidth(), pic.scaleHeight(), k.x1, k.y1, k.x2, k.y2);
    return {};
}

} // namespace

std::string brokenInvariant(zd::FrmZdMain& w, bool buttonHeld, bool historyButtons)
{
    if (w.ended()) return "the program ended";
    if (w.mapMode() < 0 || w.mapMode() > 2) return fmt("MapMode %d", w.mapMode());
    if (const std::string bad = badFrame(w.state().kadr); !bad.empty()) return "frame " + bad;
    if (std::string broken = brokenHistory(w, historyButtons); !broken.empty()) return broken;
    if (std::string broken = brokenMenus(w); !broken.empty()) return broken;
    return buttonHeld ? std::string() : brokenAtRest(w);
}

bool expectedMessage(const zd::MsgRequest& r)
{
    static const std::set<QString> known = {
        QStringLiteral("В выбранном фрагменте отсутствуют элементы схемы"),
        QStringLiteral("В базе данных нет ни одного перегона или станции схемы, показывать нечего"),
        QStringLiteral("На схеме России нет ни одного перегона или станции, показывать нечего"),
        QStringLiteral("Отсутствует файл справки ZdHelp.hlp"),
        QStringLiteral("Объекты соответствующие данному критерию НЕ НАЙДЕНЫ"),
        QStringLiteral("Не отмечена ни одна категория станций"),
        QStringLiteral("Длина перегона должна быть числом, например 15 или 15.5"),
        QStringLiteral("Выберите станцию из списка"),
        QStringLiteral("Не определена станция поиска\r\nВыбор из списка двойным щелчком"),
        QStringLiteral("Станция не нанесена на схему: у неё нет координат"),
    };
    if (r.icon == zd::MsgIcon::Critical) return false;
    return known.count(r.text) > 0 || r.text.startsWith(QStringLiteral("Не удается открыть файл справки "));
}

} // namespace zdtest
