// A minimal host of the suite: owns the application and its event loop, loads the transfer package at
// run time, opens the transfer screen for two tables and unloads the package again.

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QTextStream>
#include <dlfcn.h>

namespace {

using EntryFn = void (*)();
using CriaFn = void (*)(const char*, const char*, const char*, const char*, const char*, const char*);

// The package stays loaded for as long as the object lives.
class LoadedPackage {
public:
    explicit LoadedPackage(const QString& path) {
        handle_ = dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL);
        if (!handle_)
            error_ = QString::fromLocal8Bit(dlerror());
    }
    ~LoadedPackage() {
        if (handle_)
            dlclose(handle_);
    }
    LoadedPackage(const LoadedPackage&) = delete;
    LoadedPackage& operator=(const LoadedPackage&) = delete;

    bool loaded() const { return handle_ != nullptr; }
    const QString& error() const { return error_; }
    template <typename Fn> Fn entry(const char* name) const {
        return reinterpret_cast<Fn>(dlsym(handle_, name));
    }

private:
    void* handle_ = nullptr;
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
    parser.addOption(packageOption);
    parser.addOption(paramLogOption);
    parser.addPositionalArgument(QStringLiteral("origin"), QStringLiteral("Origin table, e.g. 0045."));
    parser.addPositionalArgument(QStringLiteral("destination"),
                                 QStringLiteral("Destination table, e.g. 0046."));
    parser.process(app);
    const QStringList tables = parser.positionalArguments();
    if (tables.size() != 2) {
        err << parser.helpText();
        return 2;
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
    initialize();
    const QByteArray origin = tables[0].toUtf8();
    const QByteArray destination = tables[1].toUtf8();
    const QByteArray paramLog = parser.value(paramLogOption).toUtf8();
    cria("", "", origin.constData(), destination.constData(), "", paramLog.constData());
    finalize();
    return 0;
}
