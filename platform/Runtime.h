#pragma once

#include <QString>

namespace platform {

// The running executable as the host sees it: its file name is the first command-line element
// without its directory; its folder holds the local files and the default database.
QString executableFileName();
QString executableFolder(); // without a trailing separator

// Points executableFolder() elsewhere for as long as the object lives (tests, the demo seeder).
class ExecutableFolderOverride {
public:
    explicit ExecutableFolderOverride(const QString& folder);
    ~ExecutableFolderOverride();
    ExecutableFolderOverride(const ExecutableFolderOverride&) = delete;
    ExecutableFolderOverride& operator=(const ExecutableFolderOverride&) = delete;

private:
    QString previous_;
};

} // namespace platform
