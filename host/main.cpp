// A minimal host of the suite: owns the application and its event loop, loads the transfer package at
// run time, opens the transfer screen for two tables and unloads the package again. With --screenshots
// it also tours the open screen and saves pictures of it (the demo's ./run screenshot).

#include "ScreenshotDriver.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>
#include <QLocale>
#include <QTextStream>
#include <memory>

namespace {

using EntryFn = void (*)();
using CriaFn = void (*)(const char*, const char*, const char*, const char*, const char*, const char*);

// The package stays loaded for as long as the object lives; a QLibrary alone stays loaded until unload().
class LoadedPackage {
public:
    // QLibrary tries other names ("lib" prefixes, suffixes) for a file that is not there, and would
    // load a neighbour or name it in the error; the package is the file named or nothing.
    explicit LoadedPackage(const QString& path) {
        const QFileInfo file(path);
        if (!file.isFile()) {
            error_ = QStringLiteral("no file at %1").arg(file.absoluteFilePath());
            return;
        }
        library_.setFileName(file.absoluteFilePath());
        // every reference resolved at load, so that a broken package fails here and not mid-transfer
        library_.setLoadHints(QLibrary::ResolveAllSymbolsHint);
        if (!library_.load())
            error_ = library_.errorString();
    }
    ~LoadedPackage() {
        if (loaded())
            library_.unload();
    }
    LoadedPackage(const LoadedPackage&) = delete;
    LoadedPackage& operator=(const LoadedPackage&) = delete;

    bool loaded() const { return error_.isEmpty(); }
    const QString& error() const { return error_; }
    template <typename Fn> Fn entry(const char* name) { return reinterpret_cast<Fn>(library_.resolve(name)); }

private:
    QLibrary library_;
    QString error_;
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("mvt04215-host"));
    QTextStream err(stderr);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Opens the position-transfer screen from one table to another."));
    parser.addHelpOption();
    QCommandLineOption packageOption(
        QStringLiteral("package"), QStringLiteral("The package to load."), QStringLiteral("PATH"),
        QDir(QApplication::applicationDirPath()).filePath(QStringLiteral("Pkg_Mvt04215.so")));
    QCommandLineOption paramLogOption(QStringLiteral("param-log"),
                                      QStringLiteral("Text handed to the audit log of each moved item."),
                                      QStringLiteral("TEXT"));
    QCommandLineOption localeOption(
        QStringLiteral("locale"),
        QStringLiteral(
            "The locale of numbers on the screen and its keypad, e.g. pt_BR (default: the system's)."),
        QStringLiteral("NAME"));
    QCommandLineOption screenshotsOption(
        QStringLiteral("screenshots"),
        QStringLiteral("Tour the screen on the demo data, save PNGs into DIR and leave without confirming."),
        QStringLiteral("DIR"));
    QCommandLineOption confirmOption(
        QStringLiteral("confirm"),
        QStringLiteral("With --screenshots: end the tour by confirming the transfer instead of leaving."));
    parser.addOption(packageOption);
    parser.addOption(paramLogOption);
    parser.addOption(localeOption);
    parser.addOption(screenshotsOption);
    parser.addOption(confirmOption);
    parser.addPositionalArgument(QStringLiteral("origin"), QStringLiteral("Origin table, e.g. 0045."));
    parser.addPositionalArgument(QStringLiteral("destination"),
                                 QStringLiteral("Destination table, e.g. 0046."));
    parser.process(app);
    const QStringList tables = parser.positionalArguments();
    if (tables.size() != 2 || (parser.isSet(confirmOption) && !parser.isSet(screenshotsOption))) {
        err << parser.helpText();
        return 2;
    }

    if (parser.isSet(localeOption)) {
        const QString name = parser.value(localeOption);
        const QLocale locale(name);
        if (locale.language() == QLocale::C && name != QLatin1String("C")) {
            err << "Unknown locale: " << name << '\n';
            return 2;
        }
        // before the package creates its lists, which take the default locale when they are made
        QLocale::setDefault(locale);
    }

    LoadedPackage package(parser.value(packageOption));
    if (!package.loaded()) {
        err << "Cannot load the package: " << package.error() << '\n';
        return 1;
    }
    const auto initialize = package.entry<EntryFn>("Initialize");
    const auto finalize = package.entry<EntryFn>("Finalize");
    const auto cria = package.entry<CriaFn>("CriaTrPosicao");
    if (!initialize || !finalize || !cria) {
        err << "The package lacks Initialize, Finalize or CriaTrPosicao.\n";
        return 1;
    }
    std::unique_ptr<host::ScreenshotDriver> driver;
    if (parser.isSet(screenshotsOption)) {
        // polls from inside the screen's own event loop once CriaTrPosicao opens it
        driver = std::make_unique<host::ScreenshotDriver>(parser.value(screenshotsOption),
                                                          parser.isSet(confirmOption)
                                                              ? host::ScreenshotDriver::Ending::Confirm
                                                              : host::ScreenshotDriver::Ending::Leave);
        if (!driver->start())
            return driver->exitCode();
    }
    initialize();
    const QByteArray origin = tables[0].toUtf8();
    const QByteArray destination = tables[1].toUtf8();
    const QByteArray paramLog = parser.value(paramLogOption).toUtf8();
    cria("", "", origin.constData(), destination.constData(), "", paramLog.constData());
    finalize();
    if (driver) {
        driver->hostReturned();
        const int code = driver->exitCode();
        if (code != 0 && driver->failure().isEmpty())
            err << "screenshot: the screen closed before the tour ended, while waiting for "
                << driver->pendingStep() << '\n';
        return code;
    }
    return 0;
}
