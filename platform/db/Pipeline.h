#pragma once

#include "Batch.h"

namespace platform::db {

// Runs the steps of a batch in PostgreSQL's pipeline mode on the session Qt already holds: every
// statement is sent without waiting for the one before, unnamed (nothing to prepare beforehand) and
// with its values as real parameters, then one sync, and the answers are read in order. One wait for
// the server, whatever the number of steps. Fills `results` (one per step) and keeps the connection's
// transaction state as the session reports it; the first statement refused raises its DatabaseError.
void runPipeline(Connection& connection, const QList<Batch::Step>& steps, QList<BatchResult>& results);

} // namespace platform::db
