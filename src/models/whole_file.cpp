#include "models/whole_file.h"

#include <QFile>
#include <QSaveFile>

namespace
{

TWholeFileWrite Failure(TWholeFileWrite::TStage stage, const QFileDevice& file,
                        const char* fallback)
{
    // A device that has not failed says "Unknown error"; the fallback says more.
    const QString reason = file.errorString();
    const bool told = !reason.isEmpty() && reason != QFile().errorString();
    return {stage, told ? reason : QLatin1String(fallback)};
}

} // namespace

TWholeFileWrite WriteWholeFile(const QString& fileName, const QByteArray& bytes)
{
    QSaveFile file(fileName);
    // Unbuffered, a disk that fills up fails the write itself; through the buffer the short
    // write would pass unnoticed and a cut file would replace the old one.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return Failure(TWholeFileWrite::NotCreated, file, "the file cannot be created there");
    qint64 written = 0;
    while (written < bytes.size()) {
        const qint64 count = file.write(bytes.constData() + written, bytes.size() - written);
        if (count <= 0) {
            const TWholeFileWrite failure =
                Failure(TWholeFileWrite::NotWritten, file, "not every byte was written");
            file.cancelWriting();
            return failure;
        }
        written += count;
    }
    if (!file.commit())
        return Failure(TWholeFileWrite::NotWritten, file,
                       "the new content could not replace the old file");
    return {};
}
