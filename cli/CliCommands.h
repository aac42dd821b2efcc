#pragma once

#include <QIODevice>
#include <QStringList>
#include <QTextStream>

namespace cli {

// OutcomeUnknown: a transfer lost its connection after its commit went out, and no new connection could
// tell whether it took effect; the destination table must be looked at before it is repeated.
enum ExitCode : int { Ok = 0, Failure = 1, Usage = 2, OutcomeUnknown = 3 };

// Runs one command line (without the program name) against the database and writes its result:
// a data packet as JSON, a truth value as true/false, a result code as an integer, each to `out`;
// a failure text to `err`. Standard input feeds set-transferencia when it reads no file.
int run(const QStringList& arguments, QTextStream& out, QTextStream& err, QIODevice& input);

QString usage();

} // namespace cli
