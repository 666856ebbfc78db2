// The appearance dialog: the list of skins and the switch that turns skinning on and off.
// A choice re-skins every window at once.
#pragma once

#include <QDialog>

class QCheckBox;
class QListWidget;

class TAppearanceDialog : public QDialog
{
    Q_OBJECT
public:
    TAppearanceDialog(const QString& skin, bool enabled, int lang, QWidget* parent = nullptr);

signals:
    void skinChosen(const QString& skin, bool enabled);

private:
    void Choose();

    QListWidget* m_skins;
    QCheckBox* m_enabled;
};
