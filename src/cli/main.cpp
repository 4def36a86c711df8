#include "cli/clicommands.h"

#include <QCoreApplication>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Quillerby"));
    QTextStream out(stdout);
    QTextStream err(stderr);
    const int rc = quillerby::runCli(app.arguments().mid(1), out, err);
    out.flush();
    err.flush();
    return rc;
}
