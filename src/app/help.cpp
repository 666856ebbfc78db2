#include "app/help.h"

#include <QCoreApplication>
#include <QDesktopServices>

namespace
{

TUrlOpener& CurrentOpener()
{
    static TUrlOpener opener;
    return opener;
}

} // namespace

void SetUrlOpener(TUrlOpener opener)
{
    CurrentOpener() = std::move(opener);
}

bool OpenUrl(const QUrl& url)
{
    const TUrlOpener& opener = CurrentOpener();
    return opener ? opener(url) : QDesktopServices::openUrl(url);
}

QString HelpFilePath(int lang)
{
    const QString file = lang == 0 ? QStringLiteral("Help/Kadrel1Help.html")
                                   : QStringLiteral("Help/Kadrel1EngHelp.html");
    return QCoreApplication::applicationDirPath() + QLatin1Char('/') + file;
}

void ShowHelp(int lang)
{
    OpenUrl(QUrl::fromLocalFile(HelpFilePath(lang)));
}
