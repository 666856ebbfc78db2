// What the tests of kadrel-cli share: running the built program while the test's own event
// loop keeps simulated instruments answering, and writing archive files byte by byte.
#pragma once

#include "link/kadrel_types.h"

#include <QByteArray>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QTimer>
#include <QtEndian>

// The end of one run of kadrel-cli.
struct CliRun {
    int status = -1;
    QByteArray out;
    QByteArray err;
    bool finished = false;

    QString outText() const { return QString::fromUtf8(out); }
    // The error lines, without the last line end.
    QStringList errLines() const { return QString::fromUtf8(err).trimmed().split(u'\n'); }
};

// Runs kadrel-cli with `arguments` in `folder` (the test's own when empty) and the number
// locale `locale`, keeping the event loop running until it ends. A run that has not ended
// after a minute is killed and reported as not finished.
inline CliRun runCli(const QStringList& arguments, const QString& folder = QString(),
                     const QString& locale = QStringLiteral("C"))
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("LC_ALL", locale);
    process.setProcessEnvironment(environment);
    if (!folder.isEmpty())
        process.setWorkingDirectory(folder);

    QEventLoop loop;
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&process, &QProcess::errorOccurred, &loop, [&](QProcess::ProcessError e) {
        if (e == QProcess::FailedToStart)
            loop.quit();
    });
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);
    process.start(QStringLiteral(KADREL_CLI_PROGRAM), arguments);
    loop.exec();

    CliRun run;
    run.finished = process.state() == QProcess::NotRunning &&
                   process.exitStatus() == QProcess::NormalExit &&
                   process.error() != QProcess::FailedToStart;
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished();
    }
    run.status = process.exitCode();
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

// An identification record of model `type` with serial number `serial`.
inline TKadrelInfo testInfo(TKadrelType type, uint16_t serial)
{
    TKadrelInfo info{};
    info.StrictVersion = 1;
    info.DevType = type;
    info.DevVersion = 2;
    info.SerialNumber = serial;
    return info;
}

// An archive file: the identification, the record count, and each record followed by its
// comment as UTF-16 code units.
inline QByteArray archiveBytes(const TKadrelInfo& info, const QByteArray& records, int recordSize,
                               const QStringList& comments = {})
{
    QByteArray bytes(reinterpret_cast<const char*>(&info), int(sizeof info));
    const int count = int(records.size()) / recordSize;
    char word[4];
    qToLittleEndian<qint32>(count, word);
    bytes.append(word, 4);
    for (int i = 0; i < count; ++i) {
        bytes.append(records.mid(i * recordSize, recordSize));
        const QString comment = i < comments.size() ? comments[i] : QString();
        qToLittleEndian<qint32>(qint32(comment.size()), word);
        bytes.append(word, 4);
        bytes.append(reinterpret_cast<const char*>(comment.utf16()), 2 * comment.size());
    }
    return bytes;
}

inline bool writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

inline QByteArray readBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
