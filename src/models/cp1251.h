// Windows-1251, the code page of every name the instruments store, converted by a table of
// our own so that every platform converts alike.
#pragma once

#include <QByteArray>
#include <QString>

// Bytes up to the first zero byte or `maxLength` bytes, whichever comes first.
QString FromCp1251(const char* bytes, int maxLength);
QString FromCp1251(const QByteArray& bytes);

// One byte per character; a character the code page cannot hold becomes '?'.
QByteArray ToCp1251(const QString& text);
