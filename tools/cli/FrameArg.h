#pragma once
// `--frame X1,Y1,X2,Y2` of the subcommands that draw or count a frame.
#include "Cli.h"
#include "render/View.h"

namespace zd::cli {

// The frame given, the whole scheme when absent; nothing (after the message) when the value
// is not four whole numbers with X1 < X2 and Y1 < Y2 at least kMinFrameExtent apart.
std::optional<Frame> takeFrame(Args& args);

// The option list done: a value missing or an unknown option is reported; false then.
bool argsDone(const Args& args, const QString& usage);

} // namespace zd::cli
