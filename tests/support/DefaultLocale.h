#pragma once

#include <QLocale>

namespace testsupport {

// Makes QLocale() the given locale for the life of the object; lists and dialogs created meanwhile take it.
class DefaultLocale {
public:
    explicit DefaultLocale(const QLocale& locale) { QLocale::setDefault(locale); }
    ~DefaultLocale() { QLocale::setDefault(previous_); }
    DefaultLocale(const DefaultLocale&) = delete;
    DefaultLocale& operator=(const DefaultLocale&) = delete;

private:
    QLocale previous_;
};

} // namespace testsupport
