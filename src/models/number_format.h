// The number forms of every table cell and the reading of numbers the user typed. The
// locale gives only the decimal separator; no thousands separator is ever written.
#pragma once

#include <QLocale>
#include <QString>

// General form with `precision` significant digits: plain decimal while the exponent of
// 0.d1d2... x 10^e lies in -3..precision, otherwise 1.2346E05 style. "NAN", "INF", "-INF".
QString FormatGeneral(double value, int precision, const QLocale& locale = QLocale());

// Two significant digits written with exactly two decimals (8.10, 12.00, 0.06); a value of
// three or more integer digits falls back to the general form with 2 digits (1.2E02).
QString FormatFixed2(double value, const QLocale& locale = QLocale());

// Four significant digits in exponent form: 1.000E+00, -2.500E-03, 0.000E+00.
QString FormatExp4(double value, const QLocale& locale = QLocale());

// Reads an optional sign, digits with the locale's decimal separator and an optional
// exponent, blanks around ignored. Anything else throws KadrelError
// "'<text>' is not a valid floating point value".
double ReadFloat(const QString& text, const QLocale& locale = QLocale());
