// The loadable package: its entries, its unit list and the plain-named screen entry.

#include "Pkg_Mvt04215.h"
#include "client/Cli_Mvt04215.h"
#include "platform/Export.h"
#include "server/Srv_Mvt04215.h"

#include <array>

namespace {

void noUnitCode() {}

// Units in dependency order: the platform's, the server unit, the shared package's, the client unit
// last, then the package's own.
const std::array<Mvt04215UnitInfo, 5> units = {{
    {"Platform", noUnitCode, noUnitCode},
    {"Srv_Mvt04215", Srv_Mvt04215::initializeUnit, Srv_Mvt04215::finalizeUnit},
    {"Pkg_Vtn05118", noUnitCode, noUnitCode},
    {"Cli_Mvt04215", Cli_Mvt04215::initializeUnit, Cli_Mvt04215::finalizeUnit},
    {"Pkg_Mvt04215", noUnitCode, noUnitCode},
}};

const std::array<const char*, 4> requiredPackages = {"QtCore", "QtWidgets", "QtSql", "Pkg_Vtn05118"};

const Mvt04215PackageInfo packageInfo = {"Pkg_Mvt04215", int(units.size()), units.data(),
                                         int(requiredPackages.size()), requiredPackages.data()};

// A unit initialises once however often the package is initialised, and finalises once after that.
std::array<bool, units.size()> initialised{};

} // namespace

extern "C" {

MVT_EXPORT void Initialize() {
    for (std::size_t i = 0; i < units.size(); ++i) {
        if (!initialised[i]) {
            initialised[i] = true;
            units[i].initialize();
        }
    }
}

MVT_EXPORT void Finalize() {
    for (std::size_t i = units.size(); i-- > 0;) {
        if (initialised[i]) {
            initialised[i] = false;
            units[i].finalize();
        }
    }
}

MVT_EXPORT const Mvt04215PackageInfo* GetPackageInfoTable() {
    return &packageInfo;
}

MVT_EXPORT void CriaTrPosicao(const char* arg1, const char* arg2, const char* origin, const char* destination,
                              const char* arg5, const char* paramLog) {
    Cli_Mvt04215::CriaTrPosicao(arg1, arg2, origin, destination, arg5, paramLog);
}
}
