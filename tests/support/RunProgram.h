#pragma once

#include <QProcess>
#include <string>

// How a program run to its end went; status -1 when it crashed, or was still running at the
// deadline and was killed.
struct ProgramRun {
    int status = -1;
    std::string output;
    std::string errors;
};

// Runs a program in this environment and working folder (the current one when empty).
inline ProgramRun runProgram(const QString& program, const QStringList& args,
                             const QProcessEnvironment& environment, const QString& folder = {},
                             int deadlineMs = 60000) {
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(folder);
    process.start(program, args);
    ProgramRun run;
    if (!process.waitForFinished(deadlineMs)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.output = process.readAllStandardOutput().toStdString();
    run.errors = process.readAllStandardError().toStdString();
    if (process.exitStatus() == QProcess::NormalExit) {
        run.status = process.exitCode();
    }
    return run;
}
