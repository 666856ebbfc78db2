// The About box: the program's name, version and build date, and the maker's contacts, whose
// e-mail and web addresses open the mail program and the browser.
#pragma once

#include <QDate>
#include <QDialog>

class QLabel;

// The program's file version, or "No version information found" when the build gave none.
QString GetVersionString();
// The day the program was built.
QDate GetBuildDate();

// "mailto:" + address + "?Subject=" + subject, encoded as an address.
QUrl MailToUrl(const QString& address, const QString& subject);

class TAboutBox : public QDialog
{
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent = nullptr);

    // Brings the texts into language `lang` (0 Russian, 1 English).
    void ApplyLanguage(int lang);
    int CurLang() const { return m_curLang; }

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* AddLabel(const char* name, const QString& text);
    QLabel* AddLink(const char* name, const QString& text, const QString& hint);
    void CentreOnParent();

    int m_curLang = 0;
    QLabel* m_version = nullptr;
    QLabel* m_web = nullptr;
    QList<QLabel*> m_mailLabels;
};
