#pragma once

#include <QString>
#include <QVariant>

namespace platform {

// Left-pads the decimal text of a non-negative integer with zeros to exactly `width` characters, so
// that the texts order as their numbers do. Throws Error when the text is not such an integer or does
// not fit the width: a longer or shorter key would silently break that ordering.
QString Ajusta(const QString& number, int width);

template <typename T> T iif(bool condition, const T& ifTrue, const T& ifFalse) {
    return condition ? ifTrue : ifFalse;
}
inline QString iif(bool condition, const char* ifTrue, const QString& ifFalse) {
    return condition ? QString::fromUtf8(ifTrue) : ifFalse;
}

// A text counts as empty when it holds nothing but blanks.
bool EmptyString(const QString& text);

} // namespace platform
