#include "app/dev_select_box.h"

#include <QAbstractItemView>
#include <QSignalBlocker>

TDevSelectBox::TDevSelectBox(QWidget* parent) : QComboBox(parent)
{
    setObjectName("sDevSelectBox");
    setEditable(false);
    setSizeAdjustPolicy(QComboBox::AdjustToContents);
    setMinimumContentsLength(20);
    connect(this, &QComboBox::activated, this, &TDevSelectBox::chosen);
}

TKadrelPortAssoc TDevSelectBox::Assoc(int index) const
{
    return itemData(index).value<TKadrelPortAssoc>();
}

void TDevSelectBox::Add(const QString& text, const TKadrelPortAssoc& assoc)
{
    const QSignalBlocker blocker(this);
    const int selected = currentIndex();
    addItem(text, QVariant::fromValue(assoc));
    setCurrentIndex(selected);
}

void TDevSelectBox::Remove(int index)
{
    const QSignalBlocker blocker(this);
    removeItem(index);
}

void TDevSelectBox::SetItemIndex(int index)
{
    const QSignalBlocker blocker(this);
    setCurrentIndex(index);
}

bool TDevSelectBox::DroppedDown() const
{
    return view() && view()->isVisible();
}
