// The transfer module's server methods from a shell: for integrators, and for support staff who must
// free a table or clean up after a crash without opening the screen.

#include "CliCommands.h"

#include <QCoreApplication>
#include <QFile>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    QFile input;
    if (!input.open(stdin, QIODevice::ReadOnly)) {
        err << "cannot read standard input\n";
        return cli::Failure;
    }
    const int code = cli::run(QCoreApplication::arguments().mid(1), out, err, input);
    out.flush();
    err.flush();
    return code;
}
