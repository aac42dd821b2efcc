// Writes the demo restaurant beside the host program (or into --folder): the SQLite database zel.db and
// the two local files the transfer screen reads, each recreated from scratch.

#include "DemoSeed.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>
#include <exception>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("mvt04215-demo-seed"));
    QTextStream out(stdout);
    QTextStream err(stderr);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Recreates the demo database and local files of the position-transfer screen."));
    parser.addHelpOption();
    QCommandLineOption folderOption(QStringLiteral("folder"),
                                    QStringLiteral("Where to write them (default: beside this program)."),
                                    QStringLiteral("DIR"), QCoreApplication::applicationDirPath());
    parser.addOption(folderOption);
    parser.process(app);
    if (!parser.positionalArguments().isEmpty()) {
        err << parser.helpText();
        return 2;
    }

    try {
        const host::demo::SeededFolder seeded = host::demo::seedFolder(parser.value(folderOption));
        out << "demo database:   " << seeded.database << '\n'
            << "parameters:      " << seeded.parametersFile << '\n'
            << "access control:  " << seeded.accessFile << '\n'
            << "tables (branch " << host::demo::Branch << ", store " << host::demo::Store
            << "): 0045 open (origin, 13 items, tabs 451 and 452), 0046 open (destination, tab 461),\n"
               "                 0012 open, 0027 bill requested, 0033 free, 0050 bill being received\n";
        return 0;
    } catch (const std::exception& e) {
        err << "mvt04215-demo-seed: " << QString::fromUtf8(e.what()) << '\n';
        return 1;
    }
}
