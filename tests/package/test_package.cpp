// Loads the real shared library, as a host does.

#include "package/PackageInfo.h"

#include <QLibrary>
#include <QSqlDatabase>
#include <QStringList>
#include <gtest/gtest.h>
#include <string>

namespace {

// Loaded with every reference resolved and nothing exported to later libraries, as the host loads it;
// unloaded when the object goes, which a QLibrary alone does not do.
class LoadedPackage {
public:
    LoadedPackage() : library_(QStringLiteral(MVT_PACKAGE_PATH)) {
        library_.setLoadHints(QLibrary::ResolveAllSymbolsHint);
        loaded_ = library_.load();
    }
    ~LoadedPackage() {
        if (loaded_)
            library_.unload();
    }
    LoadedPackage(const LoadedPackage&) = delete;
    LoadedPackage& operator=(const LoadedPackage&) = delete;
    bool ok() const { return loaded_; }
    std::string error() const { return library_.errorString().toStdString(); }
    // data symbols too: resolve() hands every address back as a function pointer
    void* symbol(const char* name) { return reinterpret_cast<void*>(library_.resolve(name)); }

private:
    QLibrary library_;
    bool loaded_ = false;
};

using Entry = void (*)();
using InfoFn = const Mvt04215PackageInfo* (*)();

} // namespace

TEST(Package, ExportsItsEntriesPlainAndItsUnitsQualified) {
    LoadedPackage pkg;
    ASSERT_TRUE(pkg.ok()) << pkg.error();
    for (const char* name :
         {"Initialize", "Finalize", "GetPackageInfoTable", "CriaTrPosicao",
          "_ZN12Cli_Mvt0421513CriaTrPosicaoEPKcS1_S1_S1_S1_S1_", "_ZN12Cli_Mvt042156boCriaE",
          "_ZN12Cli_Mvt0421512frmTrPosicaoE", "_ZN12Srv_Mvt0421512rdmTrPosicaoE"})
        EXPECT_NE(pkg.symbol(name), nullptr) << name;
    EXPECT_EQ(pkg.symbol("_ZN8platform7AjustaERK7QStringi"), nullptr) << "platform internals stay hidden";
}

TEST(Package, LoadingAndUnloadingCreatesNoDataModuleAndOpensNoConnection) {
    const QStringList connectionsBefore = QSqlDatabase::connectionNames();
    LoadedPackage pkg;
    ASSERT_TRUE(pkg.ok()) << pkg.error();
    auto initialize = reinterpret_cast<Entry>(pkg.symbol("Initialize"));
    auto finalize = reinterpret_cast<Entry>(pkg.symbol("Finalize"));
    auto info = reinterpret_cast<InfoFn>(pkg.symbol("GetPackageInfoTable"));
    auto* boCria = static_cast<bool*>(pkg.symbol("_ZN12Cli_Mvt042156boCriaE"));
    auto* rdm = static_cast<void**>(pkg.symbol("_ZN12Srv_Mvt0421512rdmTrPosicaoE"));
    auto* frm = static_cast<void**>(pkg.symbol("_ZN12Cli_Mvt0421512frmTrPosicaoE"));
    ASSERT_TRUE(initialize && finalize && info && boCria && rdm && frm);

    EXPECT_FALSE(*boCria) << "nothing runs before Initialize";
    initialize();
    EXPECT_TRUE(*boCria) << "the client unit's initialisation sets boCria";
    EXPECT_EQ(*rdm, nullptr);
    EXPECT_EQ(*frm, nullptr);
    EXPECT_EQ(QSqlDatabase::connectionNames(), connectionsBefore);

    // the server unit initialises before the shared package's units, the client unit last of ours
    const Mvt04215PackageInfo* table = info();
    ASSERT_NE(table, nullptr);
    std::vector<std::string> names;
    names.reserve(std::size_t(table->unitCount));
    for (int i = 0; i < table->unitCount; ++i)
        names.emplace_back(table->units[i].name);
    const auto pos = [&](const char* n) {
        return std::find(names.begin(), names.end(), n) - names.begin();
    };
    EXPECT_LT(pos("Srv_Mvt04215"), pos("Pkg_Vtn05118"));
    EXPECT_LT(pos("Pkg_Vtn05118"), pos("Cli_Mvt04215"));
    EXPECT_EQ(std::string(table->name), "Pkg_Mvt04215");

    finalize();
    EXPECT_EQ(*rdm, nullptr);
    EXPECT_EQ(QSqlDatabase::connectionNames(), connectionsBefore);
}
