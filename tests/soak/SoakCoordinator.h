#pragma once

#include <QString>

namespace soak {

struct SoakOptions {
    QString database; // a SQLite file (made afresh) or a PostgreSQL URI (a schema of its own)
    int terminals = 4;
    int transfers = 50;         // requests per terminal, replacements included
    int timeLimitSeconds = 120; // no new request after it; 0: none
    int crashes = 10;           // SIGKILLs of a random terminal, each followed by a replacement
    quint64 seed = 1;
    int tables = 16;
    QString workDir;   // journals and terminal logs; a temporary folder when empty
    bool keep = false; // keep the PostgreSQL schema and the work folder
};

// Seeds, runs the terminals with the kills, checks, prints the figures. 0 only when no invariant is
// broken, no terminal found an unexpected text and none failed except by the injected kills.
int runCoordinator(const SoakOptions& options);

} // namespace soak
