#pragma once
// The subcommands of zdcli. Each takes the arguments after its name and returns the exit
// code (see Cli.h).
#include <QStringList>

namespace zd::cli {

struct Command {
    const char* name;
    const char* summary;   // one line for `zdcli --help`, Russian
    bool gui;              // draws pictures: needs a QGuiApplication
    int (*run)(const QStringList& args);
};

// zdcli find --db FILE TEXT [--limit N] [--russia] [--format text|json]
int runFind(const QStringList& args);

// zdcli export --db FILE --out FILE.png|svg|pdf [--frame X1,Y1,X2,Y2] [--size WxH] [--page A4|A3]
//   [--portrait] [--legend] [--scale-bar] [--title TEXT] [--russia|--cis]
int runExport(const QStringList& args);

// zdcli stats --db FILE [--frame X1,Y1,X2,Y2 | --railway KOD] [--russia] [--format text|csv|json]
int runStats(const QStringList& args);

// `zdcli route`: the shortest route between two stations (RouteCommand.cpp).
int runRoute(const QStringList& args);

// Every subcommand, in the order `zdcli --help` lists them.
const Command* commands();
int commandCount();

} // namespace zd::cli
