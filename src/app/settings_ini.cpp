#include "app/settings_ini.h"

#include "link/kadrel_error.h"
#include "models/whole_file.h"

#include <QDir>
#include <QFile>

namespace
{

const QByteArray ByteOrderMark("\xEF\xBB\xBF");

bool sameName(const QByteArray& a, const char* b)
{
    return a.compare(QByteArray(b), Qt::CaseInsensitive) == 0;
}

// The name of a "[name]" line; empty optional for any other line.
std::optional<QByteArray> sectionName(const QByteArray& line)
{
    const QByteArray trimmed = line.trimmed();
    if (!trimmed.startsWith('['))
        return std::nullopt;
    const qsizetype close = trimmed.indexOf(']');
    return trimmed.mid(1, close < 0 ? -1 : close - 1).trimmed();
}

// The key of a "key=value" line; empty optional for any other line.
std::optional<QByteArray> keyName(const QByteArray& line)
{
    const qsizetype equals = line.indexOf('=');
    if (equals < 0 || sectionName(line))
        return std::nullopt;
    return line.left(equals).trimmed();
}

QByteArray entry(const char* key, const QByteArray& value)
{
    return QByteArray(key) + '=' + value;
}

} // namespace

bool TProfileFile::Load(const QString& path)
{
    m_lines.clear();
    m_byteOrderMark = false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QByteArray data = file.readAll();
    if (data.startsWith(ByteOrderMark)) {
        m_byteOrderMark = true;
        data.remove(0, ByteOrderMark.size());
    }
    if (data.isEmpty())
        return true;
    if (data.endsWith('\n'))
        data.chop(1);
    for (QByteArray& line : data.split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        m_lines.append(line);
    }
    return true;
}

std::optional<QByteArray> TProfileFile::Value(const char* section, const char* key) const
{
    const int line = findKey(findSection(section), key);
    if (line < 0)
        return std::nullopt;
    const QByteArray& text = m_lines[line];
    QByteArray value = text.mid(text.indexOf('=') + 1).trimmed();
    if (value.size() >= 2 && value.front() == value.back() &&
        (value.front() == '"' || value.front() == '\''))
        value = value.mid(1, value.size() - 2);
    return value;
}

void TProfileFile::SetValue(const char* section, const char* key, const QByteArray& value)
{
    const int header = findSection(section);
    if (header < 0) {
        m_lines.append('[' + QByteArray(section) + ']');
        m_lines.append(entry(key, value));
        return;
    }
    const int line = findKey(header, key);
    if (line >= 0) {
        m_lines[line] = entry(key, value);
        return;
    }
    // After the section's last line, ahead of the blank lines that set off the next section.
    int insertAt = sectionEnd(header);
    while (insertAt - 1 > header && m_lines[insertAt - 1].trimmed().isEmpty())
        --insertAt;
    m_lines.insert(insertAt, entry(key, value));
}

void TProfileFile::Save(const QString& path) const
{
    QByteArray text = m_byteOrderMark ? ByteOrderMark : QByteArray();
    for (const QByteArray& line : m_lines)
        text += line + "\r\n";
    if (!WriteWholeFile(path, text))
        throw KadrelError(QStringLiteral("Unable to write to ") + QDir::toNativeSeparators(path));
}

int TProfileFile::findSection(const char* section) const
{
    for (int i = 0; i < m_lines.size(); ++i) {
        const std::optional<QByteArray> name = sectionName(m_lines[i]);
        if (name && sameName(*name, section))
            return i;
    }
    return -1;
}

int TProfileFile::sectionEnd(int header) const
{
    int end = header + 1;
    while (end < m_lines.size() && !sectionName(m_lines[end]))
        ++end;
    return end;
}

int TProfileFile::findKey(int header, const char* key) const
{
    if (header < 0)
        return -1;
    const int end = sectionEnd(header);
    for (int i = header + 1; i < end; ++i) {
        const std::optional<QByteArray> name = keyName(m_lines[i]);
        if (name && sameName(*name, key))
            return i;
    }
    return -1;
}
