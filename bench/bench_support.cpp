#include "bench/bench_support.h"

#include "link/kadrel_base.h"
#include "models/archive_file.h"
#include "models/model_table.h"
#include "sim/archive_generator.h"
#include "sim/instrument_memory.h"
#include "sim/kadrel_simulator.h"

#include <QFile>
#include <QRegularExpression>
#include <QThread>
#include <QtGlobal>
#include <algorithm>
#include <unistd.h>

namespace kadrel::bench
{

namespace
{

// An archive record of the raw bytes only: what a file holds.
struct TRawRecord : TArchEntry {
    explicit TRawRecord(int size) : bytes(size_t(size)) {}
    uint8_t* Raw() override { return bytes.data(); }
    std::vector<uint8_t> bytes;
};

QString ReadTextFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromLocal8Bit(file.readAll());
}

} // namespace

const std::vector<TKadrelType>& BenchModels()
{
    static const std::vector<TKadrelType> models = {devAN, devTL, devEG, devFX};
    return models;
}

QString ModelCode(TKadrelType model)
{
    const TModelInfo* info = ModelInfo(model);
    return info ? QString::fromLatin1(info->Code) : QStringLiteral("?");
}

QString MachineDescription()
{
    const QString cpuinfo = ReadTextFile(QStringLiteral("/proc/cpuinfo"));
    const QRegularExpressionMatch cpu =
        QRegularExpression(QStringLiteral("model name\\s*:\\s*(.*)")).match(cpuinfo);
    const QRegularExpressionMatch memory =
        QRegularExpression(QStringLiteral("MemTotal:\\s*(\\d+)"))
            .match(ReadTextFile(QStringLiteral("/proc/meminfo")));
    const double memoryGiB = memory.captured(1).toDouble() / 1024 / 1024;
    return QStringLiteral("%1, %2 cores, %3 GiB memory, Qt %4")
        .arg(cpu.hasMatch() ? cpu.captured(1).trimmed() : QStringLiteral("unknown processor"))
        .arg(QThread::idealThreadCount())
        .arg(memoryGiB, 0, 'f', 1)
        .arg(QString::fromLatin1(qVersion()));
}

QString LoadAverages()
{
    return ReadTextFile(QStringLiteral("/proc/loadavg")).section(u' ', 0, 2);
}

TMachineTicks MachineTicks()
{
    // "cpu  user nice system idle iowait irq softirq steal ...".
    const QStringList fields = ReadTextFile(QStringLiteral("/proc/stat"))
                                   .section(u'\n', 0, 0)
                                   .split(u' ', Qt::SkipEmptyParts);
    TMachineTicks ticks;
    for (qsizetype i = 1; i < fields.size() && i <= 8; ++i)
        ticks.Total += fields[i].toLongLong();
    if (fields.size() > 8)
        ticks.Stolen = fields[8].toLongLong();
    return ticks;
}

void WriteBenchArchive(TKadrelType model, int count, const QString& path, int commentEvery)
{
    const sim::KadrelSimulator instrument(model);
    const int size = instrument.recordSize();
    sim::InstrumentMemory memory(size);
    memory.assign(sim::GenerateRecords(model, count, 7, instrument.nameTable()),
                  uint16_t(count - 1));
    TArchiveList records;
    records.reserve(size_t(count));
    const QByteArray& bytes = memory.bytes();
    for (int i = 0; i < memory.count(); ++i) {
        auto record = std::make_unique<TRawRecord>(size);
        std::copy_n(bytes.constData() + qsizetype(i) * size, size, record->bytes.begin());
        // Every comment its own, as a user writes them.
        if (commentEvery > 0 && i % commentEvery == 0)
            record->UserComment = QStringLiteral("Захватка %1, ось Б\r\nповторить через %2 "
                                                 "суток после бетонирования")
                                      .arg(i % 17 + 1)
                                      .arg(i);
        records.push_back(std::move(record));
    }
    WriteArchiveFile(path, instrument.info(), records, size);
}

qint64 ProcStatusKb(const QString& key, qint64 pid)
{
    const QString path =
        pid > 0 ? QStringLiteral("/proc/%1/status").arg(pid) : QStringLiteral("/proc/self/status");
    const QRegularExpressionMatch match =
        QRegularExpression(QStringLiteral("^%1:\\s*(\\d+)").arg(key),
                           QRegularExpression::MultilineOption)
            .match(ReadTextFile(path));
    return match.hasMatch() ? match.captured(1).toLongLong() : -1;
}

double ProcCpuSeconds(qint64 pid)
{
    // The command name in parentheses may hold blanks; the fields after it are fixed.
    const QString stat = ReadTextFile(QStringLiteral("/proc/%1/stat").arg(pid));
    const QStringList fields = stat.mid(stat.lastIndexOf(u')') + 2).split(u' ', Qt::SkipEmptyParts);
    // utime and stime are fields 14 and 15 of the line; the list starts at field 3.
    if (fields.size() < 13)
        return 0;
    const double ticks = fields[11].toDouble() + fields[12].toDouble();
    return ticks / double(sysconf(_SC_CLK_TCK));
}

double TRuns::Min() const
{
    return m_values.empty() ? 0 : *std::min_element(m_values.begin(), m_values.end());
}

double TRuns::Max() const
{
    return m_values.empty() ? 0 : *std::max_element(m_values.begin(), m_values.end());
}

} // namespace kadrel::bench
