#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

namespace layouttest {

// Runs tovz-render with the arguments; answers its exit status (-1 when it did not finish).
inline int runRenderTool(const QStringList& arguments, QString* errors) {
    QProcess process;
    process.start(QStringLiteral(TOVZ_RENDER_PATH), arguments);
    if (!process.waitForFinished(120000)) {
        process.kill();
        return -1;
    }
    *errors = QString::fromUtf8(process.readAllStandardError());
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

} // namespace layouttest
