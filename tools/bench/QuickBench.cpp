#include "QuickBench.h"

#include "Bench.h"
#include "mainwin/FrmZdMain.h"
#include "platform/MsgBox.h"
#include "quicksearch/NameCompleter.h"
#include "quicksearch/QuickSearch.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCompleter>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace zd::bench {

namespace {

// Texts typed a character at a time: Cyrillic and Latin names, codes, inner words.
const char* const kTexts[] = {"Станция 12", "Москва", "Орел", "orel", "Rostov glavnyy", "Главный",
                              "1840", "Moskva", "Stantsiya 7", "танц"};

void out(const QString& line) { std::printf("%s\n", line.toUtf8().constData()); std::fflush(stdout); }

// One keystroke as the platform delivers it (to the open popup, else to the field), until
// its effects are on the screen.
double keystroke(QWidget& field, QChar ch)
{
    QWidget* target = QApplication::activePopupWidget() ? QApplication::activePopupWidget() : &field;
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(ch));
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(ch));
    QElapsedTimer t;
    t.start();
    QApplication::sendEvent(target, &press);
    QApplication::sendEvent(target, &release);
    QApplication::processEvents();
    return static_cast<double>(t.nsecsElapsed()) / 1e6;
}

bool waitForIndex(FrmZdMain& w)
{
    for (int i = 0; i < 60000 && !w.nameIndex(); ++i) {
        QApplication::processEvents();
        QThread::msleep(1);
    }
    return w.nameIndex() != nullptr;
}

} // namespace

int runQuickBench(const QStringList& args)
{
    QCommandLineParser p;
    p.addOptions({{QStringLiteral("quick"), QStringLiteral("the quick-search field")},
                  {QStringLiteral("db"), QStringLiteral("network database"), QStringLiteral("file")},
                  {QStringLiteral("runs"), QStringLiteral("runs of every text"), QStringLiteral("n"), QStringLiteral("15")}});
    bool ok = false;
    const int runs = p.parse(args) ? p.value(QStringLiteral("runs")).toInt(&ok) : 0;
    QTemporaryDir dir;
    const QString db = QFileInfo(p.value(QStringLiteral("db"))).absoluteFilePath();
    if (!ok || runs <= 0 || !p.isSet(QStringLiteral("db"))
        || !QFile::link(db, dir.filePath(QStringLiteral("ZdShort.mdb")))) {
        std::fprintf(stderr, "usage: zdbench --quick --db FILE [--runs 15]\n");
        return 2;
    }
    setMsgHandler([](const MsgRequest& r) { out(QStringLiteral("zdbench: ") + r.text); });
    FrmZdMain w(dir.path());
    w.Form_Activate();
    if (!w.startDone() || !waitForIndex(w)) return 1;
    QuickSearch& field = w.quickSearch();
    field.setFocus();
    // The first keystroke of a text opens the popup (a window shown); the others refill it.
    Samples first, following;
    std::vector<Samples> slowest(std::size(kTexts));   // of each text, its slowest keystroke
    std::vector<int> offered(std::size(kTexts));
    for (int r = 0; r < runs; ++r)
        for (size_t i = 0; i < std::size(kTexts); ++i) {
            field.completer().completer().popup()->hide();
            field.clear();
            double worst = 0;
            const QString text = QString::fromUtf8(kTexts[i]);
            for (qsizetype c = 0; c < text.size(); ++c) {
                const double ms = keystroke(field, text[c]);
                (c == 0 ? first : following).add(ms);
                worst = std::max(worst, ms);
            }
            slowest[i].add(worst);
            offered[i] = field.completer().model().rowCount();
        }
    out(QStringLiteral("zdbench --quick: %1, %2 names, %3 runs").arg(QFileInfo(db).fileName()).arg(w.nameIndex()->size()).arg(runs));
    for (size_t i = 0; i < std::size(kTexts); ++i)
        out(QStringLiteral("%1 slowest keystroke: median %2 ms (%3-%4), %5 offered")
                .arg(QString::fromUtf8(kTexts[i]), -16).arg(slowest[i].median(), 0, 'f', 3)
                .arg(slowest[i].min(), 0, 'f', 3).arg(slowest[i].max(), 0, 'f', 3).arg(offered[i]));
    auto line = [](const char* what, const Samples& s, const char* counted = "keystrokes") {
        out(QStringLiteral("%1: median %2 ms (%3-%4), %5 %6").arg(QLatin1String(what))
                .arg(s.median(), 0, 'f', 3).arg(s.min(), 0, 'f', 3).arg(s.max(), 0, 'f', 3).arg(s.ms.size())
                .arg(QLatin1String(counted)));
    };
    line("first keystroke, the popup opens", first);
    line("next keystrokes, the popup refilled", following);
    // What Latin labels cost: the whole scheme drawn again with Cyrillic and Latin names.
    for (const bool latin : {false, true}) {
        w.state().latinNames = latin;
        Samples render;
        for (int r = 0; r < runs; ++r) {
            QElapsedTimer t;
            t.start();
            w.redrawFrame();
            render.add(static_cast<double>(t.nsecsElapsed()) / 1e6);
        }
        line(latin ? "whole scheme, Latin labels" : "whole scheme, Cyrillic labels", render, "renders");
    }
    setMsgHandler({});
    return 0;
}

} // namespace zd::bench
