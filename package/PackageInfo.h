#pragma once

// The package's description of itself, as the runtime asks for it: its units in initialisation
// order with their entries, and the packages it requires.
extern "C" {

struct Mvt04215UnitInfo {
    const char* name;
    void (*initialize)();
    void (*finalize)();
};

struct Mvt04215PackageInfo {
    const char* name;
    int unitCount;
    const Mvt04215UnitInfo* units;
    int requiresCount;
    const char* const* requiredPackages;
};
}
