// Tells what a transfer changed in the demo restaurant beside this program: --save FILE keeps the state
// before the transfer, --since FILE prints the items moved, the tables changed and the new audit lines.

#include "DemoReport.h"

#include "platform/db/Connection.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QTextStream>
#include <exception>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("mvt04215-demo-report"));
    QTextStream out(stdout);
    QTextStream err(stderr);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Tells what a transfer changed in the demo restaurant beside this program."));
    parser.addHelpOption();
    QCommandLineOption saveOption(QStringLiteral("save"), QStringLiteral("Keep the state now in FILE."),
                                  QStringLiteral("FILE"));
    QCommandLineOption sinceOption(QStringLiteral("since"),
                                   QStringLiteral("Print what changed since the state kept in FILE."),
                                   QStringLiteral("FILE"));
    parser.addOption(saveOption);
    parser.addOption(sinceOption);
    parser.process(app);
    if (parser.isSet(saveOption) == parser.isSet(sinceOption) || !parser.positionalArguments().isEmpty()) {
        err << parser.helpText();
        return 2;
    }

    try {
        const QString database =
            QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("zel.db"));
        if (!QFile::exists(database))
            throw platform::ConfigError(QStringLiteral("no demo database at %1").arg(database));
        platform::db::Connection connection(QStringLiteral("demo-report"));
        connection.setConnectionString(QStringLiteral("sqlite:") + database);
        connection.open();
        if (parser.isSet(saveOption)) {
            QFile file(parser.value(saveOption));
            const QByteArray json = QJsonDocument(host::demo::readState(connection).toJson()).toJson();
            if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(json) != json.size())
                throw platform::Error(
                    QStringLiteral("cannot write %1: %2").arg(file.fileName(), file.errorString()));
            return 0;
        }
        QFile file(parser.value(sinceOption));
        if (!file.open(QIODevice::ReadOnly))
            throw platform::Error(
                QStringLiteral("cannot read %1: %2").arg(file.fileName(), file.errorString()));
        const host::demo::DemoState before =
            host::demo::DemoState::fromJson(QJsonDocument::fromJson(file.readAll()).object());
        out << "What the transfer changed in " << database << ":\n"
            << host::demo::describeChanges(connection, before).join(u'\n') << '\n';
        return 0;
    } catch (const std::exception& e) {
        err << "mvt04215-demo-report: " << QString::fromUtf8(e.what()) << '\n';
        return 1;
    }
}
