#pragma once

#include "platform/Dataset.h"

#include <QStringList>

namespace Cli_Mvt04215 {

// What keeps one of the screen's local files from giving its settings, one sentence each: the file
// missing (`loaded` null), without records, or a `required` field absent or empty in its first record.
// `what` names the file for a person ("parâmetros").
QStringList localFileProblems(const QString& what, const QString& path, const platform::Dataset* loaded,
                              const QStringList& required);

} // namespace Cli_Mvt04215
