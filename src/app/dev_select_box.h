// The instrument list of the toolbar: a drop-down list whose entries carry their
// instrument's port, name and type. Only the user's choice reports a change.
#pragma once

#include "link/discovery_host.h"

#include <QComboBox>

class TDevSelectBox : public QComboBox, public IDevSelectBox
{
    Q_OBJECT
public:
    explicit TDevSelectBox(QWidget* parent = nullptr);

    int Count() const override { return count(); }
    TKadrelPortAssoc Assoc(int index) const override;
    void Add(const QString& text, const TKadrelPortAssoc& assoc) override;
    void Remove(int index) override;
    int ItemIndex() const override { return currentIndex(); }
    void SetItemIndex(int index) override;
    QString Text() const override { return currentText(); }
    void ClearText() override { SetItemIndex(-1); }
    bool DroppedDown() const override;
    void DropDown() override { showPopup(); }

signals:
    // The user chose an entry (also the one already selected).
    void chosen();
};
