// The stored form of a record's comment against the pane's lines: quoting, what does not
// survive a reload, hand-made texts with odd characters, and the pane's own line breaks.
#include "app/comment_text.h"

#include <QtTest>

namespace
{

const QChar Nul(0);

} // namespace

class TestCommentText : public QObject
{
    Q_OBJECT

private slots:
    void storeAndReload_data();
    void storeAndReload();
    void readText_data();
    void readText();
    void paneLines_data();
    void paneLines();
};

void TestCommentText::storeAndReload_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("reloaded");
    const auto row = [](const char* name, const QStringList& lines, const QString& text,
                        const QStringList& reloaded) {
        QTest::newRow(name) << lines << text << reloaded;
    };

    row("no lines", {}, "", {});
    row("one plain line", {"abc"}, "abc", {"abc"});
    row("first line of two words quoted", {"two words", "single"}, "'two words'\rsingle",
        {"two words", "single"});
    row("one empty line", {""}, "''", {""});
    row("empty middle line is lost", {"a", "", "c"}, "a\r\rc", {"a", "c"});
    row("two empty lines are lost", {"", ""}, "\r", {});
    row("apostrophe inside a line", {"it's"}, "'it''s'", {"it's"});
    row("apostrophes only", {"''"}, "''''''", {"''"});
    row("blanks at the ends survive quoted", {"  x "}, "'  x '", {"  x "});
    row("tab", {"a\tb"}, "'a\tb'", {"a\tb"});
    row("CR inside a line", {"a\rb"}, "'a\rb'", {"a\rb"});
    row("Cyrillic", {"Плита №3", "ok"}, "'Плита №3'\rok", {"Плита №3", "ok"});
    row("NUL is not quoted and splits the line", {QString("a") + Nul + "b"},
        QString("a") + Nul + "b", {"a", "b"});
}

void TestCommentText::storeAndReload()
{
    QFETCH(QStringList, lines);
    QFETCH(QString, text);
    QFETCH(QStringList, reloaded);
    QCOMPARE(CommentLinesToText(lines), text);
    QCOMPARE(CommentTextToLines(text), reloaded);
}

void TestCommentText::readText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("lines");
    const auto row = [](const char* name, const QString& text, const QStringList& lines) {
        QTest::newRow(name) << text << lines;
    };

    row("blanks before the first line", " \r\t abc", {"abc"});
    row("blanks after the last line", "abc \r ", {"abc"});
    row("blank inside an unquoted line splits it", "a b", {"a", "b"});
    row("line feed splits", "a\nb", {"a", "b"});
    row("lone apostrophe", "'", {""});
    row("unterminated quote runs to the end", "'abc\rdef", {"abc\rdef"});
    row("doubled apostrophe at the end of an unterminated quote", "'a''", {"a'"});
    row("text right after a closing apostrophe", "'a'b", {"a", "b"});
    row("apostrophe inside an unquoted line", "it's", {"it's"});
    row("NUL at the start", Nul + QString("abc"), {"abc"});
    row("only NULs", QString(3, Nul), {});
    row("NUL after a blank", QString("a ") + Nul + " b", {"a", "b"});
    row("NUL inside quotes is kept", QString("'a") + Nul + "b'", {QString("a") + Nul + "b"});
}

void TestCommentText::readText()
{
    QFETCH(QString, text);
    QFETCH(QStringList, lines);
    QCOMPARE(CommentTextToLines(text), lines);
}

void TestCommentText::paneLines_data()
{
    QTest::addColumn<QString>("paneText");
    QTest::addColumn<QStringList>("lines");
    const auto row = [](const char* name, const QString& paneText, const QStringList& lines) {
        QTest::newRow(name) << paneText << lines;
    };

    row("empty pane", "", {});
    row("one empty line", "\n", {""});
    row("one line", "abc\n", {"abc"});
    row("two lines", "a b\nc\n", {"a b", "c"});
    row("empty middle line", "a\n\nc\n", {"a", "", "c"});
    row("last line without a break", "a\nb", {"a", "b"});
}

void TestCommentText::paneLines()
{
    QFETCH(QString, paneText);
    QFETCH(QStringList, lines);
    QCOMPARE(CommentPaneLines(paneText), lines);
    QCOMPARE(CommentPaneLines(CommentPaneText(lines)), lines);
}

QTEST_MAIN(TestCommentText)
#include "tst_comment_text.moc"
