#pragma once

#include "PackageInfo.h"

// The package's plain-named entries, as a host finds them with dlsym.
extern "C" {
// Runs every unit initialisation in unit order (each unit once).
void Initialize();
// Runs the unit finalisations in reverse order.
void Finalize();
const Mvt04215PackageInfo* GetPackageInfoTable();
// Opens the transfer screen: (ignored, ignored, origin table, destination table, ignored, audit text).
void CriaTrPosicao(const char* arg1, const char* arg2, const char* origin, const char* destination,
                   const char* arg5, const char* paramLog);
}
