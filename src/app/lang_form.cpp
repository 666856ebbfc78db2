#include "app/lang_form.h"

#include <QRadioButton>
#include <QVBoxLayout>

TLanguageForm::TLanguageForm(QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    // Shown before any language is known, so it speaks both and is never translated.
    setWindowTitle(QStringLiteral("Язык/Language"));
    m_russian = new QRadioButton(QStringLiteral("Русский"), this);
    m_english = new QRadioButton(QStringLiteral("English"), this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_russian);
    layout->addWidget(m_english);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    connect(m_russian, &QRadioButton::clicked, this, [this] { choose(0); });
    connect(m_english, &QRadioButton::clicked, this, [this] { choose(1); });
}

int TLanguageForm::Language() const
{
    return m_english->isChecked() ? 1 : 0;
}

void TLanguageForm::choose(int lang)
{
    (lang == 1 ? m_english : m_russian)->setChecked(true);
    accept();
}

int TLanguageForm::Choose()
{
    // Without a parent, the dialog opens centred on the screen.
    TLanguageForm form;
    form.exec();
    return form.Language();
}
