#include "app/fit_columns.h"

#include "app/string_grid_model.h"
#include "app/text_widths.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QTableView>
#include <algorithm>
#include <memory>

namespace
{

constexpr int TextPadding = 15;
// A hundred thousand rows of a dozen columns hold far fewer distinct texts than this.
constexpr int MaxCachedWidths = 1 << 18;

// What FitColumns measured for one view: the width of every distinct text in the view's
// font, and the widest text of each column while the model's contents stay the same. Lives as
// a child of the view, so it goes when the view goes.
class TViewMeasures : public QObject
{
public:
    explicit TViewMeasures(QTableView* view) : QObject(view), m_metrics(m_font) {}

    const std::vector<int>& columnTextWidths(const StringGridModel* model, const QFont& font)
    {
        bindTo(model);
        if (!m_textWidths || font != m_font) {
            measureIn(font);
            m_columnsValid = false;
        }
        if (!m_columnsValid) {
            if (m_textWidths->Size() > MaxCachedWidths)
                measureIn(font);
            m_columns = ColumnTextWidths(*model->grid(),
                                         [this](const QString& text) { return width(text); });
            m_columnsValid = true;
        }
        return m_columns;
    }

private:
    void bindTo(const StringGridModel* model)
    {
        if (model == m_model)
            return;
        if (m_model)
            disconnect(m_model, nullptr, this, nullptr);
        m_model = model;
        m_columnsValid = false;
        const auto invalidate = [this] {
            m_columnsValid = false;
        };
        connect(model, &QAbstractItemModel::modelReset, this, invalidate);
        connect(model, &QAbstractItemModel::dataChanged, this, invalidate);
        connect(model, &QAbstractItemModel::headerDataChanged, this, invalidate);
        connect(model, &QAbstractItemModel::layoutChanged, this, invalidate);
        connect(model, &QAbstractItemModel::rowsInserted, this, invalidate);
        connect(model, &QAbstractItemModel::rowsRemoved, this, invalidate);
        connect(model, &QAbstractItemModel::columnsInserted, this, invalidate);
        connect(model, &QAbstractItemModel::columnsRemoved, this, invalidate);
        connect(model, &QObject::destroyed, this, [this] { m_model = nullptr; });
    }

    int width(const QString& text) { return int(m_textWidths->Width(text)); }

    void measureIn(const QFont& font)
    {
        m_font = font;
        m_metrics = QFontMetrics(font);
        m_textWidths = std::make_unique<TTextWidths>(
            [this](const QString& text) { return m_metrics.horizontalAdvance(text); });
    }

    QFont m_font;
    QFontMetrics m_metrics;
    std::unique_ptr<TTextWidths> m_textWidths;
    const StringGridModel* m_model = nullptr;
    std::vector<int> m_columns;
    bool m_columnsValid = false;
};

TViewMeasures& measuresOf(QTableView* view)
{
    for (QObject* child : view->children())
        if (auto* measures = dynamic_cast<TViewMeasures*>(child))
            return *measures;
    return *new TViewMeasures(view);
}

} // namespace

std::vector<int> ColumnTextWidths(const TStringGrid& grid,
                                  const std::function<int(const QString&)>& textWidth)
{
    const int cols = grid.ColCount();
    std::vector<int> widths(size_t(cols), 0);
    for (int row = 0; row < grid.RowCount(); ++row) {
        const QString* cells = grid.Row(row);
        // Rows often repeat the text above (a date, a material, a condition): one run of a
        // text is measured once.
        const QString* above = row > 0 ? grid.Row(row - 1) : nullptr;
        for (int col = 0; col < cols; ++col) {
            if (above && cells[col] == above[col])
                continue;
            widths[size_t(col)] = std::max(widths[size_t(col)], textWidth(cells[col]));
        }
    }
    return widths;
}

std::vector<int> FitColumnWidths(std::vector<int> textWidths, int clientWidth)
{
    const int cols = int(textWidths.size());
    if (cols < 3)
        return {};
    int sum = 0;
    for (int& width : textWidths) {
        width += TextPadding;
        sum += width;
    }
    if (sum < clientWidth)
        textWidths[cols > 4 ? 3 : 1] += clientWidth - sum - cols - 1;
    return textWidths;
}

void FitColumns(QTableView* view)
{
    const auto* model = qobject_cast<const StringGridModel*>(view->model());
    if (!model || !model->grid() || model->grid()->ColCount() < 3)
        return;
    const std::vector<int> widths = FitColumnWidths(
        measuresOf(view).columnTextWidths(model, view->font()), view->viewport()->width());
    // The header would round narrow columns up to its minimum.
    QHeaderView* header = view->horizontalHeader();
    header->setMinimumSectionSize(
        std::min(header->minimumSectionSize(), *std::min_element(widths.begin(), widths.end())));
    for (size_t col = 0; col < widths.size(); ++col)
        view->setColumnWidth(int(col), widths[col]);
}
