#include "app/appearance_dialog.h"

#include "app/skins.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QListWidget>
#include <QVBoxLayout>

TAppearanceDialog::TAppearanceDialog(const QString& skin, bool enabled, int lang, QWidget* parent)
    : QDialog(parent), m_skins(new QListWidget(this)), m_enabled(new QCheckBox(this))
{
    setObjectName("AppearanceDialog");
    setWindowTitle(lang == 1 ? "Appearance" : "Внешний вид");
    m_enabled->setObjectName("SkinEnable");
    m_enabled->setText(lang == 1 ? "Use the skin" : "Использовать оформление");
    m_enabled->setChecked(enabled);
    m_skins->setObjectName("SkinList");
    m_skins->addItems(SkinNames());
    const QList<QListWidgetItem*> current = m_skins->findItems(skin, Qt::MatchExactly);
    m_skins->setCurrentItem(current.isEmpty() ? m_skins->item(0) : current.first());

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_skins);
    layout->addWidget(m_enabled);
    layout->addWidget(buttons);

    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::accept);
    connect(m_skins, &QListWidget::currentTextChanged, this, &TAppearanceDialog::Choose);
    connect(m_enabled, &QCheckBox::toggled, this, &TAppearanceDialog::Choose);
}

void TAppearanceDialog::Choose()
{
    if (m_skins->currentItem())
        emit skinChosen(m_skins->currentItem()->text(), m_enabled->isChecked());
}
