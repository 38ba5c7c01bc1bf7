#pragma once
// Conventions every zdcli subcommand shares: `--db FILE`, `--format text|csv|json`, exit
// code 0 on success, 1 when there is no result or the work failed, 2 on bad usage or an
// ambiguous name; messages in Russian on standard error.
#include "data/Database.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

namespace zd::cli {

enum Exit : int { kOk = 0, kFailed = 1, kUsage = 2 };

// The arguments after the subcommand's name: options with their values, and the rest.
class Args {
public:
    explicit Args(QStringList args) : m_args(std::move(args)) {}

    // The value of `--name VALUE` (or `--name=VALUE`), taken out of the list; the last one
    // given wins. Nothing when absent; `missingValue` is set when the option ends the list.
    std::optional<QString> take(const QString& name);
    // Every value of a repeated option, in order.
    QStringList takeAll(const QString& name);
    // Whether `--name` stands in the list (taken out).
    bool flag(const QString& name);
    // What is left: the positional arguments. An unknown option left there is bad usage.
    const QStringList& rest() const { return m_args; }
    QString unknownOption() const;   // the first argument left that starts with "--", or empty
    bool missingValue() const { return m_missing; }

private:
    QStringList m_args;
    bool m_missing = false;
};

enum class Format { Text, Csv, Json };

// Reads `--format`; a value other than those allowed is reported and gives nothing.
std::optional<Format> takeFormat(Args& args, const QStringList& allowed = {"text", "csv", "json"});

// Opens the network named by `--db`, reporting a missing option or a failure on stderr.
std::shared_ptr<Database> openDatabase(Args& args);

// Writes a line to standard output or standard error, UTF-8.
void out(const QString& line);
void err(const QString& line);

} // namespace zd::cli
