#include "models/kadrel_objmodel.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace objmodel
{

namespace
{

// Room for the text and its terminating zero in the 21-byte name field.
constexpr int MaxNameBytes = 19;

QString TitleText(const TColumnTitle& title, TLang lang, TDimensionType dimension)
{
    const bool kgs = dimension == dtkgs && title.RuKgs;
    if (lang == ruRU)
        return QString::fromUtf8(kgs ? title.RuKgs : title.Ru);
    return QString::fromUtf8(kgs ? title.EnKgs : title.En);
}

} // namespace

void SetShape(TStringGrid& grid, const std::vector<TColumnTitle>& titles, int rows, TLang lang,
              TDimensionType dimension)
{
    grid.SetColCount(int(titles.size()));
    grid.SetRowCount(rows);
    for (int col = 0; col < int(titles.size()); ++col)
        grid.SetCell(col, 0, TitleText(titles[size_t(col)], lang, dimension));
}

void ClearRow(TStringGrid& grid, int row)
{
    for (int col = 0; col < grid.ColCount(); ++col)
        grid.SetCell(col, row, QString());
}

void PutName(TObjName& entry, const QByteArray& text)
{
    const int length = std::min(int(text.size()), MaxNameBytes);
    std::memcpy(entry.Name, text.constData(), size_t(length));
    entry.Name[length] = 0;
}

QByteArray FactoryName(const TObjModelTexts& texts, int index, TLang lang)
{
    const int langIndex = lang == ruRU ? 0 : 1;
    const int named = int(texts.FactoryNames.size());
    if (index < named)
        return ToCp1251(QString::fromUtf8(texts.FactoryNames[size_t(index)][langIndex]));
    const char* prefix = lang == ruRU ? "Без имени-" : "No name-";
    return ToCp1251(QString::fromUtf8(prefix) + QString::number(index - named + 1));
}

void MeanAndSpread(const float* values, int count, float& mean, float& spread)
{
    // Every step is kept in single precision, as the values are stored.
    float sum = 0;
    for (int i = 0; i < count; ++i)
        sum += values[i];
    mean = sum / float(count);
    float largest = 0;
    for (int i = 0; i < count; ++i) {
        const float deviation = std::fabs(values[i] - mean);
        if (deviation > largest)
            largest = deviation;
    }
    spread = mean > 0 ? float(double(largest) * 100 / double(mean)) : 0.0f;
}

} // namespace objmodel
