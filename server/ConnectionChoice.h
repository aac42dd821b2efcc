#pragma once

#include <QString>

namespace Srv_Mvt04215 {

// The system code whose connection string a host uses: "212" for the hosts KBX and HLV, "" for every
// other. The host's file name counts with or without ".EXE", in any letter case, from any folder, and
// a path may use backslashes.
QString systemCodeForExecutable(const QString& executable);

} // namespace Srv_Mvt04215
