// Shared by the main window tests: the window rig with archive files written and read back,
// the window's tables and controls, and the user's clicks on them.
#pragma once

#include "common/window_rig.h"
#include "models/archive_file.h"
#include "models/driver_factory.h"
#include "models/model_table.h"
#include "sim/archive_generator.h"

#include <QComboBox>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTableView>

// A record as raw bytes, only to be written to an archive file.
struct TRawRecord : TArchEntry {
    explicit TRawRecord(QByteArray bytes) : Bytes(std::move(bytes)) {}
    uint8_t* Raw() override { return reinterpret_cast<uint8_t*>(Bytes.data()); }
    QByteArray Bytes;
};

inline uint16_t SerialNumber(const char* serial)
{
    return *KadrelSimulator::parseSerialNumber(QString::fromLatin1(serial));
}

// Generated records of `model`, newest first, back to back.
inline QByteArray Records(TKadrelType model, int count, quint32 seed,
                          const QDateTime& newest = kadrel::sim::DefaultNewestMeasurement())
{
    return kadrel::sim::GenerateRecords(model, count, seed, kadrel::sim::InstrumentNameTable(model),
                                        newest);
}

// An archive file of `model` holding `records` (newest first), as an instrument's archive
// saved by the program.
inline void WriteArchive(const QString& file, TKadrelType model, const QByteArray& records,
                         const char* serial = "A001")
{
    const int size = ModelInfo(model)->RecordSize;
    TArchiveList list;
    for (int at = 0; at + size <= records.size(); at += size)
        list.push_back(std::make_unique<TRawRecord>(records.mid(at, size)));
    TKadrelInfo info{};
    info.DevType = model;
    info.SerialNumber = SerialNumber(serial);
    WriteArchiveFile(file, info, list, size);
}

// An independent driver holding the records of an archive file, for the tables the window
// ought to show.
inline IKadrelPtr LoadedDriver(int model, const QString& file, TLang lang = ruRU,
                               TDimensionType dimension = dtMPa)
{
    IKadrelPtr driver = CreateModelDriver(model);
    driver->SetLang(lang);
    driver->SetDimension(dimension);
    if (!driver->LoadFromFile(file))
        qFatal("%s does not load", qPrintable(file));
    return driver;
}

inline int RecordCount(const QString& file, int model)
{
    const auto driver = std::dynamic_pointer_cast<TKadrelBase>(LoadedDriver(model, file));
    return int(driver->Archive().size());
}

inline QStringList RowTexts(const TStringGrid& grid, int row)
{
    QStringList texts;
    for (int col = 0; col < grid.ColCount(); ++col)
        texts << grid.Cell(col, row);
    return texts;
}

inline QList<QStringList> AllRows(const TStringGrid& grid)
{
    QList<QStringList> rows;
    for (int row = 0; row < grid.RowCount(); ++row)
        rows << RowTexts(grid, row);
    return rows;
}

inline QByteArray FileBytes(const QString& file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class TWindowFixture : public TWindowRig
{
public:
    // An instrument of `model` with a generated archive, plugged into the next port.
    KadrelSimulator* addInstrument(TKadrelType model, const char* serial, int records,
                                   quint32 seed = 1)
    {
        return TWindowRig::addInstrument(model, SerialNumber(serial), records,
                                         instrumentCount() + 1, seed);
    }

    // The window in the foreground with its focus, as the user has it.
    bool activate()
    {
        Window->activateWindow();
        return QTest::qWaitForWindowActive(Window.get());
    }

    QTableView* basicGrid() const { return child<QTableView>("BasicGrid"); }
    QTableView* detailGrid() const { return child<QTableView>("DetailGrid"); }
    QPlainTextEdit* commentMemo() const { return child<QPlainTextEdit>("CommentMemo"); }
    QComboBox* devSelectBox() const { return child<QComboBox>("sDevSelectBox"); }
    QProgressBar* progressBar() const { return child<QProgressBar>("ProgressBarLoad"); }
    QMenu* menu(const char* name) const { return child<QMenu>(name); }

    // A click on a cell of a table row, the header being row 0.
    void clickRow(QTableView* view, int row, int column = 0,
                  Qt::KeyboardModifiers modifiers = Qt::NoModifier) const
    {
        const QModelIndex index = view->model()->index(row - 1, column);
        view->scrollTo(index);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, modifiers,
                          view->visualRect(index).center());
    }

    // The user picks entry `index` of the instrument list.
    void chooseInstrument(int index) const
    {
        QComboBox* box = devSelectBox();
        box->hidePopup();
        box->setCurrentIndex(index);
        emit box->activated(index);
    }

    // What the window shows, kept as an archive file.
    QString saveShownArchive(const QString& name) const
    {
        const QString path = file(name);
        ActiveDriver->SaveToFile(path);
        return path;
    }
};
