#include "app/qt_prompts.h"

#include "app/trans.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace
{

// Boxes belong to the window the user is working in, so they never open behind it.
QWidget* boxParent()
{
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    return QApplication::activeWindow();
}

// Non-native, so that the texts follow the interface language and not the system's.
void prepareDialog(QFileDialog& dialog, const QString& filter, const QString& fileName)
{
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setNameFilters(QtNameFilters(filter));
    if (!fileName.isEmpty())
        dialog.selectFile(fileName);
}

QString chosenFile(QFileDialog& dialog)
{
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().front();
}

} // namespace

QString ErrorBoxText(const QString& text)
{
    if (!text.isEmpty() && text.back() > QLatin1Char('.'))
        return text + QLatin1Char('.');
    return text;
}

QStringList QtNameFilters(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2)
        filters.append(parts[i] + QStringLiteral(" (") + parts[i + 1] + QLatin1Char(')'));
    return filters;
}

IPrompts::TAnswer QtPrompts::Ask(const QString& question)
{
    QMessageBox box(QMessageBox::Question, QString::fromUtf8(ProgramTitle), question,
                    QMessageBox::NoButton, boxParent());
    QPushButton* yes = box.addButton(QMessageBox::Yes);
    QPushButton* no = box.addButton(QMessageBox::No);
    // Without a button of its own for Esc and the close button, the box would take No for
    // them; an invisible one tells dismissing apart from answering.
    QPushButton* dismiss = box.addButton(QMessageBox::Cancel);
    dismiss->hide();
    box.setEscapeButton(dismiss);
    box.setDefaultButton(yes);
    box.exec();
    if (box.clickedButton() == yes)
        return Yes;
    if (box.clickedButton() == no)
        return No;
    return Closed;
}

void QtPrompts::ShowError(const QString& message)
{
    QMessageBox box(QMessageBox::Critical, QString::fromUtf8(ProgramTitle), ErrorBoxText(message),
                    QMessageBox::Ok, boxParent());
    box.exec();
}

QString QtPrompts::ChooseOpenFile(const QString& filter, const QString& fileName)
{
    QFileDialog dialog(boxParent());
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    prepareDialog(dialog, filter, fileName);
    return chosenFile(dialog);
}

QString QtPrompts::ChooseSaveFile(const QString& filter, int& filterIndex, const QString& fileName,
                                  const QString& folder)
{
    QFileDialog dialog(boxParent());
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (!folder.isEmpty())
        dialog.setDirectory(folder);
    prepareDialog(dialog, filter, fileName);
    const QStringList filters = dialog.nameFilters();
    if (filterIndex >= 1 && filterIndex <= filters.size())
        dialog.selectNameFilter(filters[filterIndex - 1]);
    const QString path = chosenFile(dialog);
    if (!path.isEmpty()) {
        const int chosen = int(filters.indexOf(dialog.selectedNameFilter()));
        if (chosen >= 0)
            filterIndex = chosen + 1;
    }
    return path;
}
