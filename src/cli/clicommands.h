#pragma once

#include <QStringList>
#include <QTextStream>

namespace quillerby {

// Runs quillerby-cli with `args` (without the program name). Returns the process exit code: 0 on success,
// 1 on failure (usage errors included) with the error's text on `err`.
int runCli(const QStringList& args, QTextStream& out, QTextStream& err);

} // namespace quillerby
