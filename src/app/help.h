// Opening the help in the interface language, and the one door through which the windows
// hand an address (web page, e-mail, file) to the desktop.
#pragma once

#include <QString>
#include <QUrl>
#include <functional>

// Asks the desktop to open `url`; the result tells whether a handler took it.
using TUrlOpener = std::function<bool(const QUrl& url)>;

// Replaces the desktop opener (tests watch the addresses instead of launching programs);
// an empty opener puts the desktop back.
void SetUrlOpener(TUrlOpener opener);
bool OpenUrl(const QUrl& url);

// The help file of language `lang` (0 Russian, otherwise English) in the "Help" folder beside
// the program.
QString HelpFilePath(int lang);
// Opens that file. Whether it exists is not checked and a failure is not reported: without
// a browser or a help file nothing happens.
void ShowHelp(int lang);
