#pragma once

#include "platform/Dataset.h"

namespace Cli_Mvt04215 {

// Copies one field of the current record of `from` into the record being edited in `to`. The three
// ways differ on an empty value: as text it stays empty; as a number it becomes 0; as a date-time it
// becomes the zero date.
class RecordCopy {
public:
    RecordCopy(platform::Dataset& from, platform::Dataset& to) : from_(from), to_(to) {}

    void same(const char* field) { text(field, field); }
    void text(const char* toField, const char* fromField);
    // A number through its general text form (15 significant digits).
    void numberAsText(const char* toField, const char* fromField);
    void number(const char* toField, const char* fromField);
    void dateTime(const char* toField, const char* fromField);

private:
    platform::FieldRef src(const char* f) { return from_.field(QString::fromLatin1(f)); }
    platform::FieldRef dst(const char* f) { return to_.field(QString::fromLatin1(f)); }

    platform::Dataset& from_;
    platform::Dataset& to_;
};

} // namespace Cli_Mvt04215
