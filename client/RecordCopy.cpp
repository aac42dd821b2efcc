#include "RecordCopy.h"

namespace Cli_Mvt04215 {

void RecordCopy::text(const char* toField, const char* fromField) {
    const platform::FieldRef from = src(fromField);
    if (from.isNull())
        dst(toField).clear();
    else
        dst(toField).setString(from.asString());
}

void RecordCopy::numberAsText(const char* toField, const char* fromField) {
    // the text form is written in the source's locale and read back in the target's
    dst(toField).setString(src(fromField).asString());
}

void RecordCopy::number(const char* toField, const char* fromField) {
    dst(toField).setFloat(src(fromField).asFloat());
}

void RecordCopy::dateTime(const char* toField, const char* fromField) {
    dst(toField).setDateTime(src(fromField).asDateTime());
}

} // namespace Cli_Mvt04215
