// Finding simulated instruments at start-up and following them as they are plugged in and
// removed: the instrument list, the automatic connection, the merge question and the status
// texts. Instruments appear and vanish as links in a watched folder, as named ports do.
#include "link/discovery.h"
#include "link/kadrel_base.h"
#include "link/prompts.h"
#include "models/driver_factory.h"
#include "sim/kadrel_simulator.h"

#include <QSerialPort>
#include <QTemporaryDir>
#include <QtTest>

using kadrel::sim::KadrelSimulator;

namespace
{

// Generous: every step waits for an instrument on a pseudo-terminal and for the 200 ms timer,
// and the sanitizer build runs several times slower.
constexpr int WaitMs = 30000;

class FakeSelectBox : public IDevSelectBox
{
public:
    struct Entry {
        QString text;
        TKadrelPortAssoc assoc;
    };

    int Count() const override { return int(entries.size()); }
    TKadrelPortAssoc Assoc(int index) const override { return entries.at(index).assoc; }
    void Add(const QString& text, const TKadrelPortAssoc& assoc) override
    {
        entries.append({text, assoc});
    }
    void Remove(int index) override
    {
        entries.removeAt(index);
        if (index <= selected)
            selected = -2; // the caller has to say what is selected now
    }
    int ItemIndex() const override { return selected; }
    void SetItemIndex(int index) override { selected = index < Count() ? index : -1; }
    QString Text() const override { return selected >= 0 ? entries.at(selected).text : QString(); }
    void ClearText() override { selected = -1; }
    bool DroppedDown() const override { return droppedDown; }
    void DropDown() override { droppedDown = true; }

    QStringList texts() const
    {
        QStringList result;
        for (const Entry& entry : entries)
            result.append(entry.text);
        return result;
    }

    QList<Entry> entries;
    int selected = -1;
    bool droppedDown = false;
};

class FakePrompts : public IPrompts
{
public:
    TAnswer Ask(const QString& question) override
    {
        questions.append(question);
        return answer;
    }
    void ShowError(const QString& message) override { errors.append(message); }
    QString ChooseOpenFile(const QString&, const QString&) override { return {}; }
    QString ChooseSaveFile(const QString&, int&, const QString&, const QString&) override
    {
        return {};
    }

    TAnswer answer = No;
    QStringList questions;
    QStringList errors;
};

// Stands in for the main window: it reads the archive once an instrument has answered, as
// the window does with automatic clock setting off.
class FakeHost : public IDiscoveryHost
{
public:
    TLang ConfigLang() const override { return lang; }
    TDimensionType ConfigDimension() const override { return dimension; }
    bool IsLoadTypeFile() const override { return loadTypeFile; }
    void SetLoadTypeFile(bool value) override { loadTypeFile = value; }
    int CurLang() const override { return curLang; }
    void SetStatusText(const QString& text) override { status = text; }
    IDevSelectBox& DevSelectBox() override { return box; }
    void ClearDialogFileNames() override { ++dialogNamesCleared; }
    void ShowLoading() override { ++loadingShown; }
    void OperationCompleted(TOperationType op) override
    {
        if (op == otDevConnect)
            ActiveDriver->ReadArchive();
        if (op == otArchReadComplete) {
            ActiveDriver->RemoveDuplicates();
            ++readsCompleted;
        }
    }
    IPrompts& Prompts() override { return prompts; }

    TLang lang = enUS;
    TDimensionType dimension = dtMPa;
    bool loadTypeFile = false;
    int curLang = 1;
    QString status;
    FakeSelectBox box;
    FakePrompts prompts;
    int dialogNamesCleared = 0;
    int loadingShown = 0;
    int readsCompleted = 0;
};

int recordCount(const IKadrelPtr& driver)
{
    const auto base = std::dynamic_pointer_cast<TKadrelBase>(driver);
    return base ? int(base->Archive().size()) : -1;
}

// Serial letter A and the number.
uint16_t serialA(int number)
{
    return uint16_t((1 << 11) | number);
}

} // namespace

class TestDiscovery : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<FakeHost> m_host;
    std::unique_ptr<TPortDiscovery> m_discovery;
    std::vector<std::unique_ptr<KadrelSimulator>> m_sims;

    QString path(const QString& name) const { return m_dir->filePath(name); }

    // The ports the program is told about, in this order, whether attached or not.
    QStringList namedPorts() const
    {
        return {path("an1"), path("tl1"), path("an2"), path("fx1"), path("mute")};
    }

    // An instrument of `model` with `records` records, not attached yet.
    KadrelSimulator* makeSim(TKadrelType model, int serial, int records)
    {
        auto sim = std::make_unique<KadrelSimulator>(model);
        if (!sim->open())
            qFatal("pseudo-terminal: %s", qPrintable(sim->errorString()));
        sim->setSerialNumber(serialA(serial));
        sim->generateArchive(records, quint32(serial));
        m_sims.push_back(std::move(sim));
        return m_sims.back().get();
    }

    static void attach(KadrelSimulator* sim, const QString& link)
    {
        QVERIFY(sim->setLinkPath(link));
    }

    QTimer* devChangeTimer() const
    {
        return m_discovery->findChild<QTimer*>(QStringLiteral("DevChangeTimer"));
    }

    // Start-up with `an1` and `tl1` attached; an1 is connected and read.
    void startWithTwo(KadrelSimulator*& an1, KadrelSimulator*& tl1)
    {
        an1 = makeSim(devAN, 1, 5);
        tl1 = makeSim(devTL, 2, 3);
        attach(an1, path("an1"));
        attach(tl1, path("tl1"));
        m_discovery->ScanPorts();
        QTRY_COMPARE_WITH_TIMEOUT(m_host->readsCompleted, 1, WaitMs);
        QCOMPARE(m_host->box.Count(), 2);
    }

private slots:
    void init()
    {
        ActiveDriver.reset();
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_host = std::make_unique<FakeHost>();
        m_discovery = std::make_unique<TPortDiscovery>(*m_host, &CreateModelDriver);
        m_discovery->SetExtraPorts(namedPorts());
    }

    void cleanup()
    {
        m_discovery.reset();
        ActiveDriver.reset();
        m_sims.clear();
        m_host.reset();
        m_dir.reset();
    }

    void twoInstrumentsAtStartUp()
    {
        KadrelSimulator* an1 = makeSim(devAN, 1, 5);
        KadrelSimulator* tl1 = makeSim(devTL, 2, 3);
        attach(an1, path("an1"));
        attach(tl1, path("tl1"));

        m_discovery->ScanPorts();

        // Start-up names are Russian whatever the interface language.
        QCOMPARE(m_host->box.texts(), (QStringList{"Кадрель-1.АН № A001", "Кадрель-1.ТЛ № A002"}));
        QCOMPARE(m_host->box.Assoc(0).Port, path("an1"));
        QCOMPARE(m_host->box.Assoc(1).DevType, devTL);
        QCOMPARE(m_host->box.ItemIndex(), 0);
        QVERIFY(m_host->box.DroppedDown());
        QVERIFY(ActiveDriver);
        QCOMPARE(ActiveDriver->GetLang(), enUS);
        QCOMPARE(m_host->loadingShown, 1);
        QCOMPARE(m_host->dialogNamesCleared, 1);
        QTRY_COMPARE_WITH_TIMEOUT(m_host->readsCompleted, 1, WaitMs);
        QCOMPARE(int(ActiveDriver->GetDevType()), int(devAN));
        QCOMPARE(recordCount(ActiveDriver), 5);
        QCOMPARE(ActiveDriver->GetPortName(), path("an1"));
    }

    // A file on show keeps the instruments from being connected by themselves.
    void fileOnShowAtStartUp()
    {
        attach(makeSim(devAN, 1, 5), path("an1"));
        attach(makeSim(devTL, 2, 3), path("tl1"));
        m_host->loadTypeFile = true;

        m_discovery->ScanPorts();

        QCOMPARE(m_host->box.Count(), 2);
        QCOMPARE(m_host->box.ItemIndex(), -1);
        QVERIFY(!m_host->box.DroppedDown());
        QVERIFY(!ActiveDriver);
    }

    void pluggedInWhileNothingShown()
    {
        m_discovery->ScanPorts();
        QCOMPARE(m_host->box.Count(), 0);
        QVERIFY(!ActiveDriver);
        m_discovery->StartMonitoring();

        attach(makeSim(devAN, 7, 4), path("an1"));

        QTRY_COMPARE_WITH_TIMEOUT(m_host->readsCompleted, 1, WaitMs);
        QCOMPARE(m_host->box.texts(), QStringList{"Kadrel-1.AN № A007"});
        QCOMPARE(m_host->box.ItemIndex(), 0);
        QVERIFY(!m_host->box.DroppedDown());
        QCOMPARE(recordCount(ActiveDriver), 4);
    }

    // Several ports in one burst of device changes: each is listed, one after the other.
    void twoPluggedInAtOnce()
    {
        m_discovery->ScanPorts();
        m_discovery->StartMonitoring();

        attach(makeSim(devAN, 1, 5), path("an1"));
        attach(makeSim(devTL, 2, 3), path("tl1"));

        QTRY_COMPARE_WITH_TIMEOUT(m_host->box.Count(), 2, WaitMs);
        QTRY_COMPARE_WITH_TIMEOUT(m_host->readsCompleted, 1, WaitMs);
        QVERIFY(m_host->box.DroppedDown());
        QCOMPARE(m_host->box.ItemIndex(), 0);
    }

    void connectedInstrumentUnplugged_data()
    {
        QTest::addColumn<TLang>("lang");
        QTest::addColumn<QString>("text");
        QTest::newRow("Russian") << ruRU << "Прибор отключен";
        QTest::newRow("English") << enUS << "Device disconnected";
    }

    void connectedInstrumentUnplugged()
    {
        QFETCH(TLang, lang);
        QFETCH(QString, text);
        m_host->lang = lang;
        KadrelSimulator *an1, *tl1;
        startWithTwo(an1, tl1);
        m_discovery->StartMonitoring();
        const IKadrelPtr driver = ActiveDriver;
        m_host->box.droppedDown = false;

        an1->hangUp();

        QTRY_COMPARE_WITH_TIMEOUT(m_host->status, text, WaitMs);
        QCOMPARE(m_host->box.texts(), QStringList{"Кадрель-1.ТЛ № A002"});
        QCOMPARE(m_host->box.ItemIndex(), -1);
        QCOMPARE(m_host->box.Text(), QString());
        QVERIFY(m_host->loadTypeFile);
        QVERIFY(m_host->box.DroppedDown());
        QCOMPARE(ActiveDriver, driver);
        QCOMPARE(recordCount(ActiveDriver), 5);
    }

    // The instrument comes back at the same port after it was unplugged while connected.
    void unpluggedInstrumentReturns()
    {
        KadrelSimulator *an1, *tl1;
        startWithTwo(an1, tl1);
        m_discovery->StartMonitoring();
        an1->hangUp();
        QTRY_COMPARE_WITH_TIMEOUT(m_host->box.Count(), 1, WaitMs);

        attach(makeSim(devAN, 1, 6), path("an1"));

        QTRY_COMPARE_WITH_TIMEOUT(m_host->box.Count(), 2, WaitMs);
        QCOMPARE(m_host->box.entries.at(1).text, "Kadrel-1.AN № A001");
        QCOMPARE(m_host->box.Assoc(1).DevType, devAN);
        // The records on show came from the unplugged instrument; they are not replaced.
        QCOMPARE(m_host->box.ItemIndex(), -1);
        QCOMPARE(recordCount(ActiveDriver), 5);
    }

    void unselectedPortRemoved_data()
    {
        QTest::addColumn<QString>("removed");
        QTest::addColumn<int>("selectedAfter");
        QTest::newRow("entry above the selected one") << "an1" << 0;
        QTest::newRow("entry below the selected one") << "fx1" << 1;
    }

    void unselectedPortRemoved()
    {
        QFETCH(QString, removed);
        QFETCH(int, selectedAfter);
        KadrelSimulator* an1 = makeSim(devAN, 1, 5);
        KadrelSimulator* tl1 = makeSim(devTL, 2, 3);
        KadrelSimulator* fx1 = makeSim(devFX, 3, 2);
        attach(an1, path("an1"));
        attach(tl1, path("tl1"));
        attach(fx1, path("fx1"));
        m_discovery->ScanPorts();
        QTRY_COMPARE_WITH_TIMEOUT(m_host->readsCompleted, 1, WaitMs);
        m_discovery->StartMonitoring();

        // The user chooses the instrument in the middle.
        m_host->box.SetItemIndex(1);
        m_discovery->sDevSelectBoxChange();
        QTRY_COMPARE_WITH_TIMEOUT(m_host->readsCompleted, 2, WaitMs);
        const IKadrelPtr driver = ActiveDriver;
        QCOMPARE(int(driver->GetDevType()), int(devTL));
        m_host->status.clear();

        (removed == "an1" ? an1 : fx1)->hangUp();

        QTRY_COMPARE_WITH_TIMEOUT(m_host->box.Count(), 2, WaitMs);
        QCOMPARE(m_host->box.ItemIndex(), selectedAfter);
        QCOMPARE(m_host->box.Text(), "Кадрель-1.ТЛ № A002");
        QCOMPARE(m_host->status, QString());
        QVERIFY(!m_host->loadTypeFile);
        QCOMPARE(ActiveDriver, driver);
        QCOMPARE(ActiveDriver->GetPortName(), path("tl1"));
    }

    void secondInstrumentOfTheSameModel_data()
    {
        QTest::addColumn<IPrompts::TAnswer>("answer");
        QTest::addColumn<bool>("merged");
        QTest::newRow("merge") << IPrompts::Yes << true;
        QTest::newRow("replace") << IPrompts::No << false;
        QTest::newRow("question closed") << IPrompts::Closed << true;
    }

    void secondInstrumentOfTheSameModel()
    {
        QFETCH(IPrompts::TAnswer, answer);
        QFETCH(bool, merged);
        attach(makeSim(devAN, 1, 5), path("an1"));
        m_discovery->ScanPorts();
        QTRY_COMPARE_WITH_TIMEOUT(m_host->readsCompleted, 1, WaitMs);
        const IKadrelPtr first = ActiveDriver;
        m_discovery->StartMonitoring();

        attach(makeSim(devAN, 2, 3), path("an2"));
        QTRY_COMPARE_WITH_TIMEOUT(m_host->box.Count(), 2, WaitMs);
        // The connected instrument stays selected; the list opens for the choice.
        QCOMPARE(m_host->box.ItemIndex(), 0);
        QVERIFY(m_host->box.DroppedDown());
        QVERIFY(m_host->prompts.questions.isEmpty());

        m_host->prompts.answer = answer;
        m_host->box.SetItemIndex(1);
        m_discovery->sDevSelectBoxChange();

        QCOMPARE(m_host->prompts.questions, QStringList{"Merge results from files/devices?"});
        QTRY_COMPARE_WITH_TIMEOUT(m_host->readsCompleted, 2, WaitMs);
        QCOMPARE(ActiveDriver == first, merged);
        QCOMPARE(recordCount(ActiveDriver), merged ? 5 + 3 : 3);
        QCOMPARE(m_host->loadTypeFile, merged);
        QCOMPARE(ActiveDriver->GetPortName(), path("an2"));
    }

    void mergeQuestionInRussian()
    {
        m_host->lang = ruRU;
        attach(makeSim(devAN, 1, 5), path("an1"));
        attach(makeSim(devAN, 2, 3), path("an2"));
        m_discovery->ScanPorts();
        QTRY_COMPARE_WITH_TIMEOUT(m_host->readsCompleted, 1, WaitMs);

        m_host->box.SetItemIndex(1);
        m_discovery->sDevSelectBoxChange();

        QCOMPARE(m_host->prompts.questions,
                 QStringList{"Объединить результаты из файлов/приборов?"});
    }

    // A port that opens but never answers does not hold up the start-up and is left out;
    // it does not hide the removal of a listed instrument either.
    void silentPortAtStartUp()
    {
        KadrelSimulator* mute = makeSim(devAN, 9, 1);
        kadrel::sim::SimFaults faults;
        faults.silent = true;
        mute->setFaults(faults);
        attach(mute, path("mute"));
        KadrelSimulator* an1 = makeSim(devAN, 1, 5);
        attach(an1, path("an1"));

        m_discovery->ScanPorts();

        QVERIFY(mute->requestCount() >= 1);
        QCOMPARE(m_host->box.texts(), QStringList{"Кадрель-1.АН № A001"});
        QCOMPARE(m_host->box.ItemIndex(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(m_host->readsCompleted, 1, WaitMs);
        // Two ports were found, so the list opens although only one answered.
        QVERIFY(m_host->box.DroppedDown());

        m_discovery->StartMonitoring();
        an1->hangUp();
        QTRY_COMPARE_WITH_TIMEOUT(m_host->status, "Device disconnected", WaitMs);
        QCOMPARE(m_host->box.Count(), 0);
    }

    // Plugged in, a port that never answers gets an entry that does nothing when chosen; a
    // change that comes during its wait is handled after it.
    void silentPortPluggedIn()
    {
        m_discovery->ScanPorts();
        m_discovery->StartMonitoring();
        KadrelSimulator* mute = makeSim(devAN, 9, 1);
        kadrel::sim::SimFaults faults;
        faults.silent = true;
        mute->setFaults(faults);

        attach(mute, path("mute"));
        QTRY_VERIFY_WITH_TIMEOUT(mute->requestCount() >= 1, WaitMs);
        attach(makeSim(devTL, 2, 3), path("tl1"));

        QTRY_COMPARE_WITH_TIMEOUT(m_host->box.Count(), 2, WaitMs);
        const FakeSelectBox::Entry inert = m_host->box.entries.at(0);
        QCOMPARE(inert.text, QString());
        QCOMPARE(inert.assoc.Port, path("mute"));
        QCOMPARE(inert.assoc.DevType, devUnknown);
        QCOMPARE(m_host->box.entries.at(1).text, "Kadrel-1.TL № A002");
        // Entry 0 was selected when it came, and choosing it connects nothing.
        QCOMPARE(m_host->box.ItemIndex(), 0);
        QVERIFY(!ActiveDriver);
        QCOMPARE(m_host->loadingShown, 0);

        mute->hangUp();
        QTRY_COMPARE_WITH_TIMEOUT(m_host->box.Count(), 1, WaitMs);
        QCOMPARE(m_host->box.Assoc(0).Port, path("tl1"));
    }

    void deviceChangeWithSameNumberOfPorts_data()
    {
        QTest::addColumn<bool>("swap");
        QTest::newRow("nothing changed") << false;
        QTest::newRow("one port swapped for another") << true;
    }

    void deviceChangeWithSameNumberOfPorts()
    {
        QFETCH(bool, swap);
        KadrelSimulator *an1, *tl1;
        startWithTwo(an1, tl1);
        const IKadrelPtr driver = ActiveDriver;
        const auto entries = m_host->box.texts();
        const int requests = an1->requestCount() + tl1->requestCount();
        if (swap) {
            tl1->hangUp();
            attach(makeSim(devFX, 3, 2), path("fx1"));
        }

        m_discovery->OnDeviceChange();
        QVERIFY(devChangeTimer()->isActive());
        QTRY_VERIFY_WITH_TIMEOUT(!devChangeTimer()->isActive(), WaitMs);

        QCOMPARE(m_host->box.texts(), entries);
        QCOMPARE(m_host->box.ItemIndex(), 0);
        QCOMPARE(ActiveDriver, driver);
        QCOMPARE(an1->requestCount() + tl1->requestCount(), requests);
        QVERIFY(!m_host->loadTypeFile);
    }

    void busyPort_data()
    {
        QTest::addColumn<int>("curLang");
        QTest::addColumn<QString>("text");
        QTest::newRow("Russian") << 0 << "Не удалось подключиться - порт занят";
        QTest::newRow("English") << 1 << "Failed to connect - port busy";
    }

    void busyPort()
    {
        QFETCH(int, curLang);
        QFETCH(QString, text);
        m_host->curLang = curLang;
        KadrelSimulator *an1, *tl1;
        startWithTwo(an1, tl1);
        QSerialPort holder;
        holder.setPortName(path("tl1"));
        QVERIFY(holder.open(QIODevice::ReadWrite));

        m_host->box.SetItemIndex(1);
        m_discovery->sDevSelectBoxChange();

        QCOMPARE(m_host->status, text);
        // The driver made for the busy instrument stays.
        QVERIFY(ActiveDriver);
        QCOMPARE(int(ActiveDriver->GetDevType()), int(devUnknown));
        QCOMPARE(ActiveDriver->GetPortName(), "COM?");
        QCOMPARE(tl1->requestCount(), 1);
    }

    // Instruments without a driver are listed; choosing one leaves everything as it was.
    void instrumentWithoutDriver_data()
    {
        QTest::addColumn<int>("devType");
        QTest::addColumn<uint16_t>("serial");
        QTest::addColumn<QString>("name");
        QTest::newRow("QM") << int(devQM) << serialA(4) << "Кадрель-1.КМ № A004";
        QTest::newRow("newer model and letter")
            << 9 << uint16_t((30 << 11) | 12) << "Кадрель-1.? № ?012";
    }

    void instrumentWithoutDriver()
    {
        QFETCH(int, devType);
        QFETCH(uint16_t, serial);
        QFETCH(QString, name);
        KadrelSimulator* sim = makeSim(devAN, 1, 1);
        TKadrelInfo info = sim->info();
        info.DevType = uint8_t(devType);
        info.SerialNumber = serial;
        sim->setInfo(info);
        attach(sim, path("an1"));

        m_discovery->ScanPorts();

        QCOMPARE(m_host->box.texts(), QStringList{name});
        QCOMPARE(int(m_host->box.Assoc(0).DevType), devType);
        QCOMPARE(m_host->box.ItemIndex(), 0);
        QVERIFY(!ActiveDriver);
        QCOMPARE(m_host->loadingShown, 0);
        QCOMPARE(sim->requestCount(), 1);
    }
};

QTEST_GUILESS_MAIN(TestDiscovery)
#include "tst_discovery.moc"
