// A program of the build run as a process to its end, with what it wrote.
#pragma once

#include <QProcess>
#include <QStringList>
#include <gtest/gtest.h>

#include <string>
#include <vector>

struct TRun {
    int ExitCode = -1;
    std::string Out;
    std::string Err;
};

// Runs Program with Args (at most TimeoutMs); standard output goes to OutputFile when one is
// given. A program that crashes or does not end is a test failure.
inline TRun RunProgram(const std::string& Program, const std::vector<std::string>& Args,
                       const std::string& OutputFile = "", int TimeoutMs = 120000)
{
    QProcess p;
    QStringList args;
    for (const std::string& a : Args)
        args << QString::fromStdString(a);
    if (!OutputFile.empty())
        p.setStandardOutputFile(QString::fromStdString(OutputFile));
    p.start(QString::fromStdString(Program), args);
    TRun run;
    if (!p.waitForFinished(TimeoutMs) || p.exitStatus() != QProcess::NormalExit) {
        p.kill();
        p.waitForFinished();
        ADD_FAILURE() << Program << " did not end normally";
        return run;
    }
    run.ExitCode = p.exitCode();
    run.Out = p.readAllStandardOutput().toStdString();
    run.Err = p.readAllStandardError().toStdString();
    return run;
}
