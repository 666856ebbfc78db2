// The Windows-1251 conversion of instrument names: the byte table both ways, characters the
// code page cannot hold and names read from fixed fields.
#include "models/cp1251.h"

#include <QtTest>
#include <cstring>

class TestCp1251 : public QObject
{
    Q_OBJECT

private slots:
    void everyByteRoundTrips();
    void characters_data();
    void characters();
    void toCp1251_data();
    void toCp1251();
    void nameField_data();
    void nameField();
    void byteArrayStopsAtZero();
};

void TestCp1251::everyByteRoundTrips()
{
    QByteArray bytes;
    for (int byte = 1; byte < 256; ++byte)
        bytes.append(char(byte));
    const QString text = FromCp1251(bytes);
    QCOMPARE(text.size(), bytes.size());
    QCOMPARE(ToCp1251(text), bytes);
    QCOMPARE(ToCp1251(QString(QChar(0))), QByteArray(1, '\0'));
    for (int i = 0; i < 0x80 - 1; ++i)
        QCOMPARE(text[i].unicode(), char16_t(i + 1));
    // Distinct characters, so that writing back can never pick a different byte.
    QCOMPARE(QSet<QChar>(text.begin(), text.end()).size(), text.size());
}

void TestCp1251::characters_data()
{
    QTest::addColumn<int>("byte");
    QTest::addColumn<int>("character");

    QTest::newRow("first of the high half") << 0x80 << 0x0402;
    QTest::newRow("euro sign") << 0x88 << 0x20AC;
    QTest::newRow("unassigned byte") << 0x98 << 0x0098;
    QTest::newRow("trade mark") << 0x99 << 0x2122;
    QTest::newRow("no-break space") << 0xA0 << 0x00A0;
    QTest::newRow("capital io") << 0xA8 << 0x0401;
    QTest::newRow("small io") << 0xB8 << 0x0451;
    QTest::newRow("numero sign") << 0xB9 << 0x2116;
    QTest::newRow("capital a") << 0xC0 << 0x0410;
    QTest::newRow("capital ya") << 0xDF << 0x042F;
    QTest::newRow("small a") << 0xE0 << 0x0430;
    QTest::newRow("small ya") << 0xFF << 0x044F;
}

void TestCp1251::characters()
{
    QFETCH(int, byte);
    QFETCH(int, character);
    const QString text = FromCp1251(QByteArray(1, char(byte)));
    QCOMPARE(text, QString(QChar(character)));
    QCOMPARE(ToCp1251(text), QByteArray(1, char(byte)));
}

void TestCp1251::toCp1251_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("empty") << QString() << QByteArray();
    QTest::newRow("ascii") << QStringLiteral("No name-1") << QByteArray("No name-1");
    QTest::newRow("material") << QStringLiteral("Бетон тяжелый")
                              << QByteArray::fromHex("c1e5f2eeed20f2ffe6e5ebfbe9");
    QTest::newRow("object") << QStringLiteral("Кирпич") << QByteArray::fromHex("cae8f0efe8f7");
    QTest::newRow("small io") << QStringLiteral("ё") << QByteArray("\xb8");
    QTest::newRow("capital io") << QStringLiteral("Ё") << QByteArray("\xa8");
    QTest::newRow("numero sign") << QStringLiteral("№5") << QByteArray::fromHex("b935");
    QTest::newRow("euro sign") << QStringLiteral("€") << QByteArray("\x88");
    QTest::newRow("multiplication x") << QStringLiteral("40✕40") << QByteArray("40?40");
    QTest::newRow("chinese") << QStringLiteral("中") << QByteArray("?");
    QTest::newRow("latin with accent") << QStringLiteral("é") << QByteArray("?");
    QTest::newRow("beyond the basic plane") << QStringLiteral("a\U0001F600b") << QByteArray("a?b");
    QTest::newRow("lone surrogate")
        << (QStringLiteral("a") + QChar(0xD800) + QStringLiteral("b")) << QByteArray("a?b");
}

void TestCp1251::toCp1251()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(ToCp1251(text), bytes);
}

void TestCp1251::nameField_data()
{
    QTest::addColumn<QByteArray>("field");
    QTest::addColumn<QString>("name");

    QTest::newRow("ended by zero, rest not cleared")
        << QByteArray("\xca\xe8\xf0\xef\xe8\xf7\0garbage-garbage", 21) << QStringLiteral("Кирпич");
    QTest::newRow("empty") << QByteArray(21, '\0') << QString();
    QTest::newRow("19 bytes and zero")
        << (QByteArray(19, '\xe0') + QByteArray(2, '\0')) << QString(19, QChar(0x0430));
    QTest::newRow("all 21 bytes are text") << QByteArray(21, '\xdf') << QString(21, QChar(0x042F));
}

void TestCp1251::nameField()
{
    QFETCH(QByteArray, field);
    QFETCH(QString, name);
    // The field sits in a record whose next bytes are not zero: reading must stop at 21.
    char record[21 + 4];
    std::memcpy(record, field.constData(), 21);
    std::memcpy(record + 21, "XYZ", 4);
    QCOMPARE(FromCp1251(record, 21), name);
}

void TestCp1251::byteArrayStopsAtZero()
{
    QCOMPARE(FromCp1251(QByteArray("ab\0cd", 5)), QStringLiteral("ab"));
    QCOMPARE(FromCp1251(QByteArray("abcd").constData(), 0), QString());
    QCOMPARE(FromCp1251(QByteArray("abcd").constData(), 2), QStringLiteral("ab"));
}

QTEST_GUILESS_MAIN(TestCp1251)
#include "tst_cp1251.moc"
