// zdcli: the program's command-line tool on the same library as the viewer.
#include "Cli.h"
#include "Commands.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <iterator>
#include <memory>

namespace zd::cli {

namespace {
// One line per subcommand; a subcommand's source file adds its own.
const Command kCommands[] = {
    {"find", "станции и дороги по названию или коду, лучшие первыми", false, runFind},
    {"export", "кадр схемы в файл PNG, SVG или PDF, с легендой и масштабной линейкой", true, runExport},
    {"stats", "статистика кадра или дороги: станции, перегоны, километры", false, runStats},
    {"route", "кратчайший путь по сети между станциями, с перегонами и итогами по дорогам", false, runRoute},
    {nullptr, nullptr, false, nullptr},   // the end of the list
};

int count() { return static_cast<int>(std::size(kCommands)) - 1; }

void listCommands(void (*print)(const QString&))
{
    print(QStringLiteral("Использование: zdcli КОМАНДА --db ФАЙЛ [параметры]"));
    print(QStringLiteral("Команды:"));
    for (int i = 0; i < count(); ++i)
        print(QStringLiteral("  %1  %2").arg(QLatin1String(kCommands[i].name), -8).arg(QString::fromUtf8(kCommands[i].summary)));
}
} // namespace

const Command* commands() { return kCommands; }
int commandCount() { return count(); }

} // namespace zd::cli

int main(int argc, char** argv)
{
    using namespace zd::cli;
    const QString name = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    const Command* command = nullptr;
    for (int i = 0; i < commandCount(); ++i)
        if (name == QLatin1String(commands()[i].name)) command = &commands()[i];
    if (!command) {
        // `--help` lists the commands on standard output; anything else is bad usage.
        if (name == QLatin1String("--help") || name == QLatin1String("-h")) {
            listCommands(out);
            return kOk;
        }
        if (!name.isEmpty()) err(QStringLiteral("Неизвестная команда: %1").arg(name));
        listCommands(err);
        return kUsage;
    }
    std::unique_ptr<QCoreApplication> app;
    if (command->gui) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    return command->run(QCoreApplication::arguments().mid(2));
}
