// How a record's one comment text maps to the lines of the comment pane, and back. The stored
// form is the one files of earlier versions hold, so it is kept as it is.
#pragma once

#include <QString>
#include <QStringList>

// Lines joined by CR; a line holding an apostrophe, a CR, a control character or a blank is
// enclosed in apostrophes with inner apostrophes doubled. One empty line gives "''".
QString CommentLinesToText(const QStringList& lines);

// The stored text read back into lines. Empty lines and blanks around unquoted lines do not
// survive; a NUL separates lines like a blank.
QStringList CommentTextToLines(const QString& text);

// The pane's plain text as lines: every line ends with a line break, and a final break adds
// no empty line, so an empty pane holds no lines.
QStringList CommentPaneLines(const QString& paneText);
QString CommentPaneText(const QStringList& lines);
