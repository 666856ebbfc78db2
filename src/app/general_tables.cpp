// The main window's tables: filling them from the driver, the row selection, the comment
// pane, units and language, and copying to the clipboard.
#include "app/comment_text.h"
#include "app/fit_columns.h"
#include "app/general.h"
#include "app/string_grid_model.h"

#include "models/messages.h"
#include "models/table_text.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTableView>

void TMainForm::UpdateBasicGrid()
{
    const int top = SelectionTop();
    const int bottom = SelectionBottom();
    ActiveDriver->UpdateBasicGrid(m_basic);
    m_basicModel->refresh();
    // The selection stays where it was, as far as the new table reaches.
    SelectRows(top, bottom);
}

void TMainForm::UpdateDetailGrid(int index)
{
    ActiveDriver->UpdateDetailGrid(m_detail, index);
    m_detailModel->refresh();
}

void TMainForm::FitBasicGrid()
{
    FitColumns(BasicGrid);
}

void TMainForm::FitDetailGrid()
{
    FitColumns(DetailGrid);
}

int TMainForm::SelectionTop() const
{
    return SelectedGridRows(BasicGrid).first;
}

int TMainForm::SelectionBottom() const
{
    return SelectedGridRows(BasicGrid).second;
}

void TMainForm::SelectRows(int top, int bottom)
{
    const int lastRow = std::max(m_basic.RowCount() - 1, 1);
    top = std::clamp(top, 1, lastRow);
    bottom = std::clamp(bottom, top, lastRow);
    QItemSelectionModel* selection = BasicGrid->selectionModel();
    const QSignalBlocker blocker(selection);
    const QModelIndex first = m_basicModel->index(top - 1, 0);
    const QModelIndex last = m_basicModel->index(bottom - 1, std::max(m_basic.ColCount() - 1, 0));
    selection->setCurrentIndex(first, QItemSelectionModel::NoUpdate);
    selection->select(QItemSelection(first, last), QItemSelectionModel::ClearAndSelect);
}

void TMainForm::BasicGridSelectCell(int row)
{
    if (!ActiveDriver || row == lastSelectRow)
        return;
    UpdateDetailGrid(row - 1);
    FitDetailGrid();
    ShowComment(row - 1);
    lastSelectRow = row;
}

void TMainForm::ShowComment(int index)
{
    m_commentIndex = index;
    CommentMemo->setPlainText(CommentPaneText(CommentTextToLines(ActiveDriver->GetComment(index))));
}

void TMainForm::CommentMemoExit()
{
    // A range selected from its top row down shows the comment of its bottom row, and a
    // deletion or a read moves records under the selection: the text goes back to the
    // record it was shown for, not to the selection's top row.
    if (!ActiveDriver || m_commentIndex < 0)
        return;
    ActiveDriver->SetComment(m_commentIndex,
                             CommentLinesToText(CommentPaneLines(CommentMemo->toPlainText())));
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == CommentMemo) {
        if (event->type() == QEvent::FocusOut)
            CommentMemoExit();
        // Ctrl+C belongs to Copy selected also while the comment pane has the focus.
        if (event->type() == QEvent::ShortcutOverride &&
            static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy)) {
            event->ignore();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TMainForm::DimensionChange()
{
    Config.Dimension = smDimKgs->isChecked() ? 1 : 0;
    if (!ActiveDriver)
        return;
    ActiveDriver->SetDimension(TDimensionType(Config.Dimension));
    UpdateBasicGrid();
    UpdateDetailGrid(SelectionTop() - 1);
    FitBasicGrid();
    FitDetailGrid();
}

void TMainForm::LanguageChange()
{
    Config.Lang = smLangEn->isChecked() ? 1 : 0;
    if (ActiveDriver) {
        ActiveDriver->SetLang(TLang(Config.Lang));
        UpdateBasicGrid();
        UpdateDetailGrid(SelectionTop() - 1);
    }
    ApplyLanguage(Config.Lang);
    ApplyDialogsLanguage(Config.Lang);
    SetStatusText(Message(msgLanguageChanged, Config.Lang));
}

void TMainForm::CopyToClipboard(const QString& text)
{
    QGuiApplication::clipboard()->setText(text);
    SetStatusText(Message(msgResultsCopied, Config.Lang));
}

void TMainForm::ActionCopyTableExecute()
{
    if (ActiveDriver)
        CopyToClipboard(CopyRowsWithDetails(*ActiveDriver, m_basic, 1, m_basic.RowCount() - 1,
                                            Message(msgComment, Config.Lang)));
}

void TMainForm::ActionCopySelectedExecute()
{
    if (ActiveDriver)
        CopyToClipboard(CopyRowsWithDetails(*ActiveDriver, m_basic, SelectionTop(),
                                            SelectionBottom() - SelectionTop() + 1,
                                            Message(msgComment, Config.Lang)));
}

void TMainForm::ActionCopyDetailsExecute()
{
    if (ActiveDriver)
        CopyToClipboard(CopyRows(m_detail, 0, m_detail.RowCount()));
}
