#include "app/report_texts.h"

namespace
{

const char* const ReportTextTable[ReportTextCount][2] = {
    {"Предварительный просмотр", "Preview"},
    {"Первая страница", "First page"},
    {"Предыдущая страница", "Previous page"},
    {"Следующая страница", "Next page"},
    {"Последняя страница", "Last page"},
    {"из %1", "of %1"},
    {"По ширине", "Page width"},
    {"Страница целиком", "Whole page"},
    {"Масштаб", "Zoom"},
    {"Печать...", "Print..."},
    {"Параметры страницы...", "Page setup..."},
    {"Экспорт", "Export"},
    {"Файл PDF...", "PDF file..."},
    {"Рисунки PNG...", "PNG images..."},
    {"Рисунки JPEG...", "JPEG images..."},
    {"Страница HTML...", "HTML page..."},
    {"Текстовый файл...", "Text file..."},
    {"Закрыть", "Close"},
    {"Файл %1 существует. Перезаписать?", "The file %1 exists. Overwrite?"},
    {"Экспорт отчета...", "Exporting the report..."},
    {"Печать отчета...", "Printing the report..."},
    {"Отмена", "Cancel"},
    {"Не удалось записать файл %1: %2", "Cannot write the file %1: %2"},
    {"Не удалось начать печать", "Cannot start printing"},
};

} // namespace

QString ReportText(int id, int lang)
{
    if (id < 0 || id >= ReportTextCount)
        return QString();
    return QString::fromUtf8(ReportTextTable[id][lang == 0 ? 0 : 1]);
}
