// Writing a file as a whole: the old file stays until the new content is complete on disk,
// and a disk that fills up fails the write instead of leaving a cut file in the old one's place.
#pragma once

#include <QByteArray>
#include <QString>

struct TWholeFileWrite {
    enum TStage { Done, NotCreated, NotWritten };

    TStage Stage = Done;
    // Why it failed: the system's reason where it gives one.
    QString Reason;

    explicit operator bool() const { return Stage == Done; }
};

TWholeFileWrite WriteWholeFile(const QString& fileName, const QByteArray& bytes);
