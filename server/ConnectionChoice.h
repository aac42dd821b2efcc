#pragma once

#include <QString>

namespace Srv_Mvt04215 {

// The system code whose connection string a host uses: "212" for the hosts KBX and HLV (with or
// without the ".EXE" of their original platform, in any case, from any folder), "" for every other.
QString systemCodeForExecutable(const QString& executable);

} // namespace Srv_Mvt04215
