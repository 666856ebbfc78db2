#include "app/materials.h"

#include "app/string_grid_model.h"
#include "app/trans.h"
#include "link/kadrel_driver.h"
#include "link/kadrel_error.h"
#include "link/prompts.h"
#include "models/messages.h"

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QToolBar>
#include <QVBoxLayout>
#include <functional>

// Cell editing in the names grid: the open editor can hand its text to the grid before the
// table is taken over, the rows the user may not edit look like fixed rows, and texts are
// drawn with the narrow margins of a string grid, so that a coefficient fills its column
// instead of being cut short.
class TMatCellDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override
    {
        QStyleOptionViewItem cell(option);
        initStyleOption(&cell, index);
        const QString text = cell.text;
        cell.text.clear();
        QStyle* style = cell.widget ? cell.widget->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &cell, painter, cell.widget);
        const bool selected = cell.state & QStyle::State_Selected;
        painter->save();
        painter->setFont(cell.font);
        painter->setPen(cell.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
        painter->drawText(cell.rect.adjusted(CellMargin, 0, -CellMargin, 0),
                          int(cell.displayAlignment), text);
        painter->restore();
    }

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override
    {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        m_editor = editor;
        return editor;
    }

    // A cell being typed into holds its text in the editor until the editor closes; the
    // driver reads the grid, so the text goes there first.
    void CommitOpenEditor()
    {
        if (m_editor)
            emit commitData(m_editor);
    }

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        if (!(index.flags() & Qt::ItemIsEditable))
            option->backgroundBrush = option->palette.button();
    }

private:
    static constexpr int CellMargin = 2;
    mutable QPointer<QWidget> m_editor;
};

namespace
{

const QColor Ink(0x2b, 0x4a, 0x6f);

QIcon DrawnIcon(const std::function<void(QPainter&)>& draw)
{
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    draw(painter);
    return QIcon(pixmap);
}

QIcon CheckMarkIcon()
{
    return DrawnIcon([](QPainter& p) {
        p.setPen(QPen(QColor(0x2e, 0x8b, 0x3a), 5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        QPainterPath mark;
        mark.moveTo(6, 17);
        mark.lineTo(13, 24);
        mark.lineTo(26, 8);
        p.drawPath(mark);
    });
}

QIcon UndoIcon()
{
    return DrawnIcon([](QPainter& p) {
        p.setPen(QPen(Ink, 4, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(7, 8, 20, 18), 90 * 16, -200 * 16);
        p.setPen(Qt::NoPen);
        p.setBrush(Ink);
        QPainterPath head;
        head.moveTo(5, 8);
        head.lineTo(17, 1);
        head.lineTo(17, 15);
        head.closeSubpath();
        p.drawPath(head);
    });
}

QIcon ExitIcon()
{
    return DrawnIcon([](QPainter& p) {
        p.setPen(QPen(Ink, 2));
        p.setBrush(QColor(0xc8, 0xa0, 0x6e));
        p.drawRect(QRectF(4, 3, 14, 26));
        p.setBrush(Ink);
        p.drawEllipse(QRectF(13, 15, 3, 3));
        p.setPen(QPen(QColor(0xc0, 0x39, 0x2b), 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawLine(QPointF(17, 16), QPointF(29, 16));
        p.drawLine(QPointF(24, 11), QPointF(29, 16));
        p.drawLine(QPointF(24, 21), QPointF(29, 16));
    });
}

} // namespace

TMatForm::TMatForm(IPrompts& prompts, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      m_prompts(prompts), m_model(new StringGridModel(this)),
      m_delegate(new TMatCellDelegate(this)), m_view(new QTableView(this)),
      m_toolBar(new QToolBar(this))
{
    setObjectName(QStringLiteral("MatForm"));
    setWindowTitle(QStringLiteral("Названия"));

    m_toolBar->setObjectName(QStringLiteral("sToolBar1"));
    m_toolBar->setFixedHeight(ToolBarHeight);
    m_toolBar->setIconSize(QSize(24, 24));
    m_toolBar->setMovable(false);
    m_toolBar->setFloatable(false);
    m_toolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    connect(AddAction("ActionSave", CheckMarkIcon(), QStringLiteral("Записать в прибор")),
            &QAction::triggered, this, &TMatForm::ActionSaveExecute);
    connect(AddAction("ActionDefault", UndoIcon(), QStringLiteral("Восстановить заводские")),
            &QAction::triggered, this, &TMatForm::ActionDefaultExecute);
    connect(AddAction("ActionCancel", ExitIcon(), QStringLiteral("Выход")), &QAction::triggered,
            this, &TMatForm::ActionCancelExecute);

    m_model->setEditable(true);
    m_model->setGrid(&m_grid);
    m_view->setObjectName(QStringLiteral("MaterialsGrid"));
    m_view->setModel(m_model);
    m_view->setItemDelegate(m_delegate);
    m_view->setFrameShape(QFrame::NoFrame);
    m_view->setShowGrid(true);
    m_view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    m_view->setSelectionBehavior(QAbstractItemView::SelectItems);
    m_view->setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::DoubleClicked |
                            QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
    m_view->verticalHeader()->hide();
    m_view->verticalHeader()->setMinimumSectionSize(1);
    m_view->verticalHeader()->setDefaultSectionSize(RowHeight);
    m_view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    QHeaderView* header = m_view->horizontalHeader();
    header->setFixedHeight(RowHeight);
    header->setMinimumSectionSize(1);
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setStretchLastSection(false);
    header->setSectionsClickable(false);
    header->setHighlightSections(false);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_toolBar);
    layout->addWidget(m_view, 1);
}

// The grid goes before the child widgets, which may still ask the model about it.
TMatForm::~TMatForm()
{
    m_model->setGrid(nullptr);
}

QAction* TMatForm::AddAction(const char* name, const QIcon& icon, const QString& text)
{
    auto* action = new QAction(icon, text, this);
    action->setObjectName(QLatin1String(name));
    m_toolBar->addAction(action);
    return action;
}

bool TMatForm::Execute()
{
    m_execResult = false;
    // The names come from the current driver; without one there is nothing to edit.
    if (ActiveDriver)
        exec();
    return m_execResult;
}

void TMatForm::ApplyLanguage(int lang)
{
    if (lang == m_curLang)
        return;
    TranslateForm(this, lang == 1 ? QStringLiteral("EN") : QStringLiteral("RU"));
    m_curLang = lang;
}

void TMatForm::showEvent(QShowEvent* event)
{
    FillGrid();
    FitToGrid();
    m_isChanged = false;
    qApp->installEventFilter(this);
    QDialog::showEvent(event);
    CentreOnParent();
}

void TMatForm::hideEvent(QHideEvent* event)
{
    qApp->removeEventFilter(this);
    QDialog::hideEvent(event);
}

// Any key that reaches the grid or its cell editor counts as an edit, also keys that only move
// between cells.
bool TMatForm::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget && (widget == m_view || m_view->isAncestorOf(widget)))
            m_isChanged = true;
    }
    return QDialog::eventFilter(watched, event);
}

void TMatForm::ActionSaveExecute()
{
    if (!ApplyGrid())
        return;
    m_execResult = true;
    m_isChanged = false;
    close();
}

void TMatForm::ActionDefaultExecute()
{
    if (ActiveDriver)
        ActiveDriver->ResetMaterials();
    FillGrid();
    m_isChanged = true;
}

void TMatForm::ActionCancelExecute()
{
    m_isChanged = false;
    close();
}

void TMatForm::reject()
{
    if (m_isChanged && m_prompts.Ask(Message(msgWriteChanges, m_curLang)) == IPrompts::Yes) {
        // A rejected cell keeps the form open, so that the answer Yes never loses the edits.
        if (!ApplyGrid())
            return;
        m_execResult = true;
    }
    QDialog::reject();
}

void TMatForm::FillGrid()
{
    if (ActiveDriver)
        ActiveDriver->UpdateMaterialsGrid(m_grid);
    m_model->refresh();
    ApplyGridColumnWidths(m_view, m_grid);
}

bool TMatForm::ApplyGrid()
{
    m_delegate->CommitOpenEditor();
    if (!ActiveDriver)
        return false;
    try {
        ActiveDriver->ApplyMaterials(m_grid);
    } catch (const KadrelError& error) {
        m_prompts.ShowError(error.message());
        return false;
    }
    return true;
}

// The client area takes exactly the grid's columns and rows, the header row included, with
// the toolbar above and a small margin below.
void TMatForm::FitToGrid()
{
    int width = 0;
    for (int col = 0; col < m_model->columnCount(); ++col)
        width += m_view->columnWidth(col);
    int height = RowHeight;
    for (int row = 0; row < m_model->rowCount(); ++row)
        height += m_view->rowHeight(row);
    setFixedSize(width, height + ToolBarHeight + BottomMargin);
}

void TMatForm::CentreOnParent()
{
    if (QWidget* owner = parentWidget()) {
        QRect frame = frameGeometry();
        frame.moveCenter(owner->window()->frameGeometry().center());
        move(frame.topLeft());
    }
}
