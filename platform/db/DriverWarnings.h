#pragma once

namespace platform::db {

// While it lives, the warnings Qt's drivers print on this thread as they open a connection go nowhere:
// when the session breaks under the PostgreSQL driver's own set-up it prints libpq's words and "This
// version of PostgreSQL is not supported …" (its version query found no server), where the operator
// must hear of it once, in our words, from the set-up that follows. Other threads' messages, and every
// other message of this one, pass on to the handler that was installed before.
class QuietDriverWarnings {
public:
    QuietDriverWarnings();
    ~QuietDriverWarnings();
    QuietDriverWarnings(const QuietDriverWarnings&) = delete;
    QuietDriverWarnings& operator=(const QuietDriverWarnings&) = delete;
};

} // namespace platform::db
