#include "models/messages.h"

namespace
{

const char* const MessageTable[MessageCount][2] = {
    {"Прибор не выбран", "Device not selected"},
    {"Архив прочитан: ", "Archive readed: "},
    {"Названия прочитаны", "Titles readed"},
    {"Названия записаны успешно", "Titles writed successfully"},
    {"Прибор отключен", "Device disconnected"},
    {"Часы синхронизованы успешно", "Clock synced successfully"},
    {"Выбранные результаты удалены", "Selected results removed"},
    {"Результаты скопированы", "Results copied"},
    {"Идет чтение архива...", "Archive is being read..."},
    {" повторяющихся, ", " duplicate, "},
    {" уникальных, ", " unique, "},
    {" новых записей.", " new entries."},
    {"Не подключен", "Not connected"},
    {"Файл сохранен", "File saved"},
    {"Файл открыт: ", "File opened: "},
    {"Выбранный файл существует. Перезаписать?", "The selected file exists. Overwrite?"},
    {"Готов.", "Ready."},
    {"Нечего сохранять", "Nothing to save"},
    {"Нечего печатать", "Nothing to print"},
    {"Язык изменен - Русский", "Language changed - English"},
    {"Измеренные значения прочности", "Measured strength values"},
    {"отчет создан", "report created on"},
    {"Сформировать отчет по выделенному блоку? (\"Нет\" - по всему архиву)",
     "Generate a report on the selected block? (\"No\" - for the entire archive)"},
    {"Файл не читается или испорчен: ", "The file is unreadable or corrupted:"},
    {" от ", ", "},
    {"Не удалось подключиться - порт занят", "Failed to connect - port busy"},
    {"Комментарий", "Comment"},
    {"Записать изменения в прибор?", "Write changes to device?"},
    {"Объединить результаты из файлов/приборов?", "Merge results from files/devices?"},
};

} // namespace

QString Message(int id, int lang)
{
    if (id < 0 || id >= MessageCount)
        return QString();
    return QString::fromUtf8(MessageTable[id][lang == 0 ? 0 : 1]);
}

QString DuplicateSummary(int head, int duplicates, int unique, int added, int lang)
{
    return Message(head, lang) + QString::number(duplicates) + Message(msgDuplicate, lang) +
           QString::number(unique) + Message(msgUnique, lang) + QString::number(added) +
           Message(msgNewEntries, lang);
}
