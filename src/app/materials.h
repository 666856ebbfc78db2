// The names editor: the instrument's name table (materials with their coefficients, or object
// names) in an editable grid, written back to the instrument on request, with a question
// before edits would be lost.
#pragma once

#include "models/string_grid.h"

#include <QDialog>

class IPrompts;
class QAction;
class QTableView;
class QToolBar;
class StringGridModel;
class TMatCellDelegate;

class TMatForm : public QDialog
{
    Q_OBJECT
public:
    static constexpr int RowHeight = 24;
    static constexpr int ToolBarHeight = 36;
    // Room left below the last row.
    static constexpr int BottomMargin = 15;

    // The form works on the current driver (ActiveDriver); questions and errors go through
    // `prompts`.
    explicit TMatForm(IPrompts& prompts, QWidget* parent = nullptr);
    ~TMatForm() override;

    // Shows the form modally over the current driver's table; true when the table was handed
    // to the driver for writing.
    bool Execute();
    // Brings the texts into language `lang` (0 Russian, 1 English).
    void ApplyLanguage(int lang);

    int CurLang() const { return m_curLang; }
    bool ExecResult() const { return m_execResult; }
    bool IsChanged() const { return m_isChanged; }
    const TStringGrid& Grid() const { return m_grid; }

public slots:
    // Every way of closing other than the form's own commands: the close button, the system
    // menu, Alt+F4, Esc.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QAction* AddAction(const char* name, const QIcon& icon, const QString& text);
    void ActionSaveExecute();
    void ActionDefaultExecute();
    void ActionCancelExecute();
    void FillGrid();
    // Hands the grid to the driver; a rejected cell is shown and leaves everything as it was.
    bool ApplyGrid();
    void FitToGrid();
    void CentreOnParent();

    IPrompts& m_prompts;
    TStringGrid m_grid;
    StringGridModel* m_model;
    TMatCellDelegate* m_delegate;
    QTableView* m_view;
    QToolBar* m_toolBar;
    int m_curLang = 0;
    bool m_execResult = false;
    bool m_isChanged = false;
};
