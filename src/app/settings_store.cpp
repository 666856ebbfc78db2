#include "app/settings_store.h"

#include "app/settings_ini.h"
#include "app/settings_keys.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QStandardPaths>
#include <QWidget>
#include <QtEndian>

namespace
{

enum TPlacementField {
    fieldLength,
    fieldFlags,
    fieldShowState,
    fieldMinX,
    fieldMinY,
    fieldMaxX,
    fieldMaxY,
    fieldLeft,
    fieldTop,
    fieldRight,
    fieldBottom
};

int32_t field(const TPlacementRecord& record, TPlacementField index)
{
    return qFromLittleEndian<int32_t>(record.data() + 4 * index);
}

void setField(TPlacementRecord& record, TPlacementField index, int32_t value)
{
    qToLittleEndian(value, record.data() + 4 * index);
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Takes over the bytes of the leading pairs of hexadecimal digits; the rest keeps its content.
void readPlacementHex(const QByteArray& hex, TPlacementRecord& record)
{
    for (int i = 0; i < PlacementSize && 2 * i + 1 < hex.size(); ++i) {
        const int high = hexDigit(hex[2 * i]);
        const int low = hexDigit(hex[2 * i + 1]);
        if (high < 0 || low < 0)
            return;
        record[size_t(i)] = uint8_t(high * 16 + low);
    }
}

QByteArray placementHex(const TPlacementRecord& record)
{
    return QByteArray(reinterpret_cast<const char*>(record.data()), PlacementSize)
        .toHex()
        .toUpper();
}

// A decimal number with an optional sign, or 0x (0X) and hexadecimal digits, within 32 bits.
std::optional<int> profileInteger(const std::optional<QByteArray>& value)
{
    if (!value || value->isEmpty())
        return std::nullopt;
    const QByteArray& text = *value;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        uint32_t result = 0;
        for (qsizetype i = 2; i < text.size(); ++i) {
            const int digit = hexDigit(text[i]);
            if (digit < 0 || result > 0x0FFFFFFF)
                return std::nullopt;
            result = result * 16 + uint32_t(digit);
        }
        return int32_t(result);
    }
    const bool negative = text[0] == '-';
    const qsizetype first = negative || text[0] == '+' ? 1 : 0;
    if (first == text.size())
        return std::nullopt;
    int64_t result = 0;
    for (qsizetype i = first; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9')
            return std::nullopt;
        result = result * 10 + (text[i] - '0');
        if (result > int64_t(INT32_MAX) + 1)
            return std::nullopt;
    }
    if (negative)
        result = -result;
    if (result > INT32_MAX)
        return std::nullopt;
    return int(result);
}

std::optional<bool> profileBoolean(const std::optional<QByteArray>& value)
{
    if (const std::optional<int> number = profileInteger(value))
        return *number != 0;
    return std::nullopt;
}

QByteArray booleanText(bool value)
{
    return value ? QByteArrayLiteral("1") : QByteArrayLiteral("0");
}

// Like the platform's placement, a window that would lie off every screen is brought onto
// the primary one, keeping its size as far as the screen allows.
QRect onScreen(const QRect& normal)
{
    for (const QScreen* screen : QGuiApplication::screens())
        if (screen->availableGeometry().intersects(normal))
            return normal;
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (!primary)
        return normal;
    const QRect area = primary->availableGeometry();
    return QRect(area.topLeft(), normal.size().boundedTo(area.size()));
}

} // namespace

TPlacementRecord MakePlacement(const QRect& normal, Qt::WindowStates state)
{
    TPlacementRecord record{};
    setField(record, fieldLength, PlacementSize);
    int32_t showState = ShowNormal;
    int32_t flags = 0;
    if (state & Qt::WindowMinimized) {
        showState = ShowMinimized;
        if (state & (Qt::WindowMaximized | Qt::WindowFullScreen))
            flags = RestoreToMaximized;
    } else if (state & (Qt::WindowMaximized | Qt::WindowFullScreen)) {
        showState = ShowMaximized;
    }
    setField(record, fieldFlags, flags);
    setField(record, fieldShowState, showState);
    for (TPlacementField unused : {fieldMinX, fieldMinY, fieldMaxX, fieldMaxY})
        setField(record, unused, -1);
    setField(record, fieldLeft, normal.left());
    setField(record, fieldTop, normal.top());
    setField(record, fieldRight, normal.left() + normal.width());
    setField(record, fieldBottom, normal.top() + normal.height());
    return record;
}

bool ReadPlacement(const TPlacementRecord& record, QRect& normal, Qt::WindowStates& state)
{
    const int32_t left = field(record, fieldLeft);
    const int32_t top = field(record, fieldTop);
    const int64_t width = int64_t(field(record, fieldRight)) - left;
    const int64_t height = int64_t(field(record, fieldBottom)) - top;
    if (field(record, fieldLength) != PlacementSize || width <= 0 || height <= 0 ||
        width > INT32_MAX || height > INT32_MAX)
        return false;
    normal = QRect(left, top, int(width), int(height));
    state = Qt::WindowNoState;
    const int32_t showState = field(record, fieldShowState);
    if (showState == ShowMaximized)
        state = Qt::WindowMaximized;
    else if (showState == ShowMinimized)
        state = field(record, fieldFlags) & RestoreToMaximized
                    ? Qt::WindowMinimized | Qt::WindowMaximized
                    : Qt::WindowMinimized;
    return true;
}

TPlacementRecord WindowPlacement(const QWidget* window)
{
    return MakePlacement(window->normalGeometry(), window->windowState());
}

bool ApplyPlacement(QWidget* window, const TPlacementRecord& record)
{
    QRect normal;
    Qt::WindowStates state;
    if (!ReadPlacement(record, normal, state))
        return false;
    window->setWindowState(Qt::WindowNoState);
    window->setGeometry(onScreen(normal));
    window->setWindowState(state);
    return true;
}

TSettingsStore::TSettingsStore(const QString& documentsFolder) : m_documentsFolder(documentsFolder)
{
}

QString TSettingsStore::DocumentsFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return documents.isEmpty() ? QDir::homePath() : documents;
}

QString TSettingsStore::GetConfigFolder() const
{
    return m_documentsFolder + QLatin1Char('/') + QLatin1String(SettingsKeys::Folder);
}

QString TSettingsStore::GetConfigFileName() const
{
    return GetConfigFolder() + QLatin1Char('/') + QLatin1String(SettingsKeys::FileName);
}

bool TSettingsStore::LoadConfig(TSettings& settings) const
{
    using namespace SettingsKeys;
    const QString path = GetConfigFileName();
    if (!QFileInfo::exists(path)) {
        // When the folder cannot be made, this run goes on and saving at the end reports it.
        QDir().mkpath(GetConfigFolder());
        return false;
    }
    TProfileFile file;
    file.Load(path);
    if (const std::optional<QByteArray> hex = file.Value(Gui, Placement))
        readPlacementHex(*hex, settings.Placement);
    if (const std::optional<int> width = profileInteger(file.Value(Gui, VertSplitter)))
        settings.VertSplitter = *width;
    if (const std::optional<int> height = profileInteger(file.Value(Gui, HorizSplitter)))
        settings.HorizSplitter = *height;
    if (const std::optional<QByteArray> skin = file.Value(Gui, Skin))
        settings.Skin = QString::fromUtf8(*skin);
    if (const std::optional<bool> enabled = profileBoolean(file.Value(Gui, SkinEnable)))
        settings.SkinEnable = *enabled;
    settings.Language = profileInteger(file.Value(Settings, Language)).value_or(0);
    settings.Dimension = profileInteger(file.Value(Settings, Dimension)).value_or(0);
    settings.AutoClock = profileBoolean(file.Value(Settings, AutoClock)).value_or(false);
    settings.PrintComments = profileBoolean(file.Value(Settings, PrintComments)).value_or(false);
    return true;
}

void TSettingsStore::SaveConfig(const TSettings& settings) const
{
    using namespace SettingsKeys;
    const QString path = GetConfigFileName();
    TProfileFile file;
    file.Load(path);
    file.SetValue(Gui, Placement, placementHex(settings.Placement));
    if (settings.VertSplitter)
        file.SetValue(Gui, VertSplitter, QByteArray::number(*settings.VertSplitter));
    if (settings.HorizSplitter)
        file.SetValue(Gui, HorizSplitter, QByteArray::number(*settings.HorizSplitter));
    if (settings.Skin)
        file.SetValue(Gui, Skin, settings.Skin->toUtf8());
    if (settings.SkinEnable)
        file.SetValue(Gui, SkinEnable, booleanText(*settings.SkinEnable));
    file.SetValue(Settings, Language, QByteArray::number(settings.Language));
    file.SetValue(Settings, Dimension, QByteArray::number(settings.Dimension));
    file.SetValue(Settings, AutoClock, booleanText(settings.AutoClock));
    file.SetValue(Settings, PrintComments, booleanText(settings.PrintComments));
    file.Save(path);
}
