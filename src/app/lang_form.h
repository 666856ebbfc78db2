// The first-run language choice: two radio buttons, the choice closes the dialog at once.
#pragma once

#include <QDialog>

class QRadioButton;

class TLanguageForm : public QDialog
{
    Q_OBJECT

public:
    explicit TLanguageForm(QWidget* parent = nullptr);

    // 1 when English was chosen, else 0 (also when closed without a choice).
    int Language() const;
    QRadioButton* RussianButton() const { return m_russian; }
    QRadioButton* EnglishButton() const { return m_english; }

    // Shows the dialog modally and gives its Language().
    static int Choose();

public slots:
    // As if the user had picked language `lang` (0 Russian, 1 English).
    void choose(int lang);

private:
    QRadioButton* m_russian = nullptr;
    QRadioButton* m_english = nullptr;
};
