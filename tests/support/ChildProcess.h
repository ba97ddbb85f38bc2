#pragma once

#include <QProcess>

// A process that dies with the test: a crashed test program must not leave a
// broker or an application behind holding its output open.
class ChildProcess : public QProcess
{
    Q_OBJECT
public:
    using QProcess::QProcess;

protected:
    void setupChildProcess() override;
};
