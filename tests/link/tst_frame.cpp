// Frames: checksum, request layouts, the acceptance rule and reassembly of a byte stream.
#include "link/frame.h"

#include <QtEndian>
#include <QtTest>

using namespace kadrel;

namespace
{

QByteArray hex(const char* text)
{
    return QByteArray::fromHex(text);
}

// A well-formed reply of `size` bytes with a recognisable payload.
QByteArray reply(uint8_t command, int size, char fill = 0x11)
{
    return buildFrame(command, size, QByteArray(size, fill));
}

} // namespace

class TestFrame : public QObject
{
    Q_OBJECT

private slots:
    void checksumOfIdentificationRequest()
    {
        const QByteArray frame = devInfoRequest();
        QCOMPARE(frame.toHex(' '), QByteArray("80 0a 00 01 00 00 00 00 1f 10 21 d0"));
        QCOMPARE(CalcCRC(reinterpret_cast<const uint8_t*>(frame.constData()), 2), 0xD021101Fu);
    }

    // The nibble-wise checksum equals CRC-32/MPEG-2 over each word's bytes in reverse order.
    void checksumMatchesBytewiseCrc()
    {
        QByteArray words;
        for (int i = 0; i < 300; ++i)
            words.append(char(i * 37 + 5));
        uint32_t reference = 0xFFFFFFFFu;
        for (int w = 0; w < 75; ++w) {
            for (int b = 3; b >= 0; --b) {
                reference ^= uint32_t(uint8_t(words[w * 4 + b])) << 24;
                for (int bit = 0; bit < 8; ++bit)
                    reference =
                        (reference & 0x80000000u) ? (reference << 1) ^ 0x04C11DB7u : reference << 1;
            }
        }
        QCOMPARE(CalcCRC(reinterpret_cast<const uint8_t*>(words.constData()), 75), reference);
    }

    void requestLayouts_data()
    {
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<QByteArray>("head");

        QTest::newRow("name table read") << matReadRequest() << hex("800a000300000000");
        QTest::newRow("archive head") << archHeadRequest() << hex("800a000500000000");
        QTest::newRow("archive page") << archPageRequest(0x1234) << hex("800a000634120000");
        QTest::newRow("delete") << resultDeleteRequest(0x0102, 3) << hex("800a000702010300");
        QTest::newRow("clock 2024")
            << clockWriteRequest(QDateTime(QDate(2024, 5, 31), QTime(23, 58, 7)))
            << hex("800e0008073a171f05180000");
        QTest::newRow("name table write, short table")
            << matWriteRequest(QByteArray(168, 'x'))
            << hex("802e0104") + QByteArray(168, 'x') + QByteArray(128, '\0');
    }

    void requestLayouts()
    {
        QFETCH(QByteArray, frame);
        QFETCH(QByteArray, head);
        QVERIFY(frame.startsWith(head));
        QCOMPARE(frame.size() % 4, 0);
        QCOMPARE(frame.size(), head.size() + 4);
        const auto* bytes = reinterpret_cast<const uint8_t*>(frame.constData());
        QCOMPARE(qFromLittleEndian<uint32_t>(bytes + frame.size() - 4),
                 CalcCRC(bytes, (frame.size() - 4) / 4));
    }

    void nameTableFrameIsAlways304Bytes()
    {
        QCOMPARE(matWriteRequest(QByteArray(288, 'a')).size(), 304);
        QCOMPARE(matWriteRequest(QByteArray(168, 'a')).size(), 304);
    }

    void acceptance_data()
    {
        QTest::addColumn<QByteArray>("block");
        QTest::addColumn<bool>("accepted");

        const QByteArray twelve = reply(cmdClockWrite, 12);
        QByteArray wrongLength = twelve;
        wrongLength[1] = 12;
        QByteArray badStart = twelve;
        badStart[0] = 0x00;

        QTest::newRow("12 bytes, length 10") << twelve << true;
        QTest::newRow("12 bytes, length 12") << wrongLength << false;
        QTest::newRow("14 bytes") << twelve + QByteArray(2, '\0') << false;
        QTest::newRow("empty") << QByteArray() << false;
        QTest::newRow("start byte not tested") << badStart << true;
        QTest::newRow("checksum not verified") << twelve.left(8) + QByteArray(4, 'z') << true;
    }

    void acceptance()
    {
        QFETCH(QByteArray, block);
        QFETCH(bool, accepted);
        QCOMPARE(isAcceptable(block), accepted);
    }

    // Every split point of a frame still gives that frame, once.
    void reassemblyAtEverySplit()
    {
        const QByteArray frame = reply(cmdArchPage, 12 + 2 * 96);
        for (int split = 1; split < frame.size(); ++split) {
            FrameAssembler assembler;
            QVERIFY(assembler.feed(frame.left(split)).empty());
            QVERIFY(assembler.hasPartial());
            const auto frames = assembler.feed(frame.mid(split));
            QCOMPARE(int(frames.size()), 1);
            QCOMPARE(frames[0], frame);
            QVERIFY(!assembler.hasPartial());
        }
    }

    void reassemblyOfJoinedAndDirtyStreams_data()
    {
        QTest::addColumn<QByteArray>("stream");
        QTest::addColumn<int>("frames");

        const QByteArray a = reply(cmdDevInfo, 76, 0x22);
        const QByteArray b = reply(cmdClockWrite, 12, 0x33);
        QTest::newRow("two in one event") << a + b << 2;
        QTest::newRow("garbage before") << hex("0102ff7f") + a << 1;
        QTest::newRow("garbage between") << a + hex("00aa55") + b << 2;
        // 0x80 followed by a length no frame can have: skipped up to the next start byte.
        QTest::newRow("impossible length") << hex("800300") + b << 1;
        QTest::newRow("length not a multiple of 4") << hex("800900") + b << 1;
        QTest::newRow("length beyond the largest page") << hex("80ff7f") + b << 1;
    }

    void reassemblyOfJoinedAndDirtyStreams()
    {
        QFETCH(QByteArray, stream);
        QFETCH(int, frames);
        FrameAssembler assembler;
        const auto out = assembler.feed(stream);
        QCOMPARE(int(out.size()), frames);
        for (const QByteArray& frame : out)
            QVERIFY(isAcceptable(frame));
        QVERIFY(!assembler.hasPartial());
    }

    void stalePartialIsDiscarded()
    {
        const QByteArray frame = reply(cmdClockWrite, 12);
        FrameAssembler assembler;
        assembler.feed(frame.left(7));
        assembler.discardPartial();
        const auto out = assembler.feed(frame);
        QCOMPARE(int(out.size()), 1);
        QCOMPARE(out[0], frame);
    }
};

QTEST_APPLESS_MAIN(TestFrame)
#include "tst_frame.moc"
