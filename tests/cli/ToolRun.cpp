#include "ToolRun.h"

#include <QProcess>
#include <gtest/gtest.h>

#ifndef MVT_CLI_PATH
#error "MVT_CLI_PATH must name the built command-line tool"
#endif

namespace testsupport {

ToolRun runTool(const QStringList& arguments, const QByteArray& input, int limitMs) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // a configured database must never stand in for the one a test names
    env.remove(QStringLiteral("MVT04215_DB"));
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(MVT_CLI_PATH), arguments);
    ToolRun run;
    if (!process.waitForStarted(30000)) {
        ADD_FAILURE() << "the tool did not start: " << process.errorString().toStdString();
        return run;
    }
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(limitMs)) {
        process.kill();
        process.waitForFinished();
        ADD_FAILURE() << "the tool did not finish";
        return run;
    }
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit) << "the tool crashed";
    run.exitCode = process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

std::string describe(const ToolRun& run) {
    return "exit " + std::to_string(run.exitCode) + "\nstdout: " + run.out.toStdString() +
           "\nstderr: " + run.err.toStdString();
}

} // namespace testsupport
