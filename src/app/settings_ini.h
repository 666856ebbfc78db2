// A profile (INI) file read and rewritten line by line: sections and keys are found without
// regard to case, and every line that is not changed is written back as it was.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

class TProfileFile
{
public:
    // False when the file does not exist or cannot be read; the contents are then empty.
    bool Load(const QString& path);

    // The value of the first such key in the first such section, without the blanks around
    // it and without quotes enclosing all of it.
    std::optional<QByteArray> Value(const char* section, const char* key) const;
    // Replaces the key's value, or adds the key at the end of its section, or the section at
    // the end of the file.
    void SetValue(const char* section, const char* key, const QByteArray& value);

    // Writes the whole file at once; throws KadrelError "Unable to write to <path>".
    void Save(const QString& path) const;

private:
    int findSection(const char* section) const;
    int sectionEnd(int header) const;
    int findKey(int header, const char* key) const;

    QList<QByteArray> m_lines;
    bool m_byteOrderMark = false;
};
