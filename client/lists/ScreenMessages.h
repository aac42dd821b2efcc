#pragma once

#include <QStringList>

namespace Cli_Mvt04215 {

// The transfer screen's message table ("key|text" lines): the texts of its dialogs and audit entries.
QStringList screenMessageLines();

} // namespace Cli_Mvt04215
