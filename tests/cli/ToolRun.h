#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <string>

namespace testsupport {

// What one run of the command-line tool left: its exit status and what it wrote each way.
struct ToolRun {
    int exitCode = -1;
    QString out;
    QString err;
};

// Runs the built tool to its end; `input` is its whole standard input. A tool still running after
// `limitMs` is a failure of the test.
ToolRun runTool(const QStringList& arguments, const QByteArray& input = {}, int limitMs = 120000);

// Prints what a failed expectation needs to be understood.
std::string describe(const ToolRun& run);

} // namespace testsupport
