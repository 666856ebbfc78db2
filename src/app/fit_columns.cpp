#include "app/fit_columns.h"

#include "app/string_grid_model.h"

#include <QFontMetrics>
#include <QHash>
#include <QHeaderView>
#include <QTableView>
#include <algorithm>

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
        if (font != m_font) {
            m_font = font;
            m_metrics = QFontMetrics(font);
            m_textWidths.clear();
            m_alikeBeside.clear();
            m_digitsAlike = -1;
            m_columnsValid = false;
        }
        if (!m_columnsValid) {
            if (m_textWidths.size() > MaxCachedWidths)
                m_textWidths.clear();
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

    int width(const QString& text)
    {
        const QString& key = patternOf(text);
        auto it = m_textWidths.constFind(key);
        if (it == m_textWidths.constEnd())
            it = m_textWidths.insert(key, m_metrics.horizontalAdvance(text));
        return *it;
    }

    // The text with every digit read as 0 where the font sets all digits alike, so that the
    // tens of thousands of numbers of a column share a handful of measured patterns; the text
    // itself otherwise.
    const QString& patternOf(const QString& text)
    {
        const QChar* chars = text.constData();
        const qsizetype length = text.size();
        bool hasDigits = false;
        for (qsizetype i = 0; i < length; ++i) {
            if (!IsDigit(chars[i]))
                continue;
            hasDigits = true;
            if (!digitsAlike() || (i > 0 && !digitsAlikeBeside(chars[i - 1])) ||
                (i + 1 < length && !digitsAlikeBeside(chars[i + 1])))
                return text;
        }
        if (!hasDigits)
            return text;
        m_pattern.resize(length);
        QChar* pattern = m_pattern.data();
        for (qsizetype i = 0; i < length; ++i)
            pattern[i] = IsDigit(chars[i]) ? QLatin1Char('0') : chars[i];
        return m_pattern;
    }

    static bool IsDigit(QChar ch) { return ch.unicode() >= u'0' && ch.unicode() <= u'9'; }

    int pairWidth(QChar first, QChar second) const
    {
        const QChar pair[] = {first, second};
        return m_metrics.horizontalAdvance(QString(pair, 2));
    }

    // True when every digit, and every pair of digits, takes the room that 0 and 00 take.
    bool digitsAlike()
    {
        if (m_digitsAlike < 0) {
            const int one = m_metrics.horizontalAdvance(QStringLiteral("0"));
            const int two = m_metrics.horizontalAdvance(QStringLiteral("00"));
            bool alike = true;
            for (char16_t first = u'0'; first <= u'9' && alike; ++first) {
                alike = m_metrics.horizontalAdvance(QString(QChar(first))) == one;
                for (char16_t second = u'0'; second <= u'9' && alike; ++second)
                    alike = pairWidth(QChar(first), QChar(second)) == two;
            }
            m_digitsAlike = alike ? 1 : 0;
        }
        return m_digitsAlike == 1;
    }

    // True when every digit next to `neighbour`, on either side, takes the room 0 takes there.
    bool digitsAlikeBeside(QChar neighbour)
    {
        if (IsDigit(neighbour))
            return true;
        const auto known = m_alikeBeside.constFind(neighbour.unicode());
        if (known != m_alikeBeside.constEnd())
            return *known;
        const int after = pairWidth(neighbour, QLatin1Char('0'));
        const int before = pairWidth(QLatin1Char('0'), neighbour);
        bool alike = true;
        for (char16_t digit = u'1'; digit <= u'9' && alike; ++digit)
            alike = pairWidth(neighbour, QChar(digit)) == after &&
                    pairWidth(QChar(digit), neighbour) == before;
        m_alikeBeside.insert(neighbour.unicode(), alike);
        return alike;
    }

    QFont m_font;
    QFontMetrics m_metrics;
    QHash<QString, int> m_textWidths;
    // Whether all digits are alike in the font: -1 until known.
    int m_digitsAlike = -1;
    // Whether digits are alike beside a character, by character.
    QHash<char16_t, bool> m_alikeBeside;
    QString m_pattern;
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
