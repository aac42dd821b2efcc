#pragma once

#include <QString>

namespace platform {

// The connection string of the suite's database for a system code ("" or "212"). Looked up in order:
//   1. the environment: MVT04215_DB_<code> for a non-empty code, then MVT04215_DB;
//   2. mvt04215.ini beside the host program, section [connections], key <code>, then key "default"
//      (quote a value that holds commas);
//   3. the embedded default: a SQLite file zel.db beside the host program.
// NOLINTNEXTLINE(bugprone-reserved-identifier): the suite's shared library gives it this name
QString _GetStringConexZel(const QString& systemCode);

} // namespace platform
