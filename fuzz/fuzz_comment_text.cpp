// The comment text form: any stored text reads as lines without harm, and the lines of the
// comment pane survive storing and reading back, except those the form cannot hold (empty
// lines among others, lines holding NUL).
//
// Input: UTF-16 code units, little-endian.
#include "fuzz_support.h"

#include "app/comment_text.h"

namespace
{

// The lines the stored form keeps: not empty and without NUL.
QStringList Storable(const QStringList& lines)
{
    QStringList kept;
    for (const QString& line : lines)
        if (!line.isEmpty() && !line.contains(QChar(0)))
            kept << line;
    return kept;
}

void CheckRoundTrip(const QStringList& lines)
{
    const QStringList storable = Storable(lines);
    fuzz::Require(CommentTextToLines(CommentLinesToText(storable)) == storable,
                  "non-empty lines without NUL survive storing and reading back");
    // A line break inside a stored line starts a new line in the pane.
    if (!storable.join(QString()).contains(QLatin1Char('\n')))
        fuzz::Require(CommentPaneLines(CommentPaneText(storable)) == storable,
                      "lines survive the comment pane");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text(reinterpret_cast<const QChar*>(data), qsizetype(size / 2));

    // The text as a stored comment.
    const QStringList lines = CommentTextToLines(text);
    CheckRoundTrip(lines);

    // The text as lines typed into the pane.
    CheckRoundTrip(text.split(QLatin1Char('\n')));

    // One empty line is kept as such.
    fuzz::Require(CommentTextToLines(CommentLinesToText({QString()})) == QStringList{QString()},
                  "one empty line survives");
    return 0;
}
