#include "app/trans.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QCoreApplication>
#include <QFileDialog>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPointer>
#include <QRadioButton>
#include <QTabWidget>
#include <QTextEdit>
#include <QTranslator>

// The maker's contact rows (32, 33, 35, 36, 43 to 45) name the maker of the instruments.
const TTranslationPair TranslationTable[TranslationCount] = {
    {"KADREL-1.Connect", "KADREL-1.Connect"},
    {"", ""},
    {"kadrel_connect", "kadrel_connect"},
    {"Открыть", "Open"},
    {"Сохранить", "Save"},
    {"Закрыть", "Close"},
    {"Чтение из прибора", "Read from device"},
    {"Редактирование названий", "Edit titles"},
    {"Синхронизация времени", "Clock synchronize"},
    {"Файл", "File"},
    {"Сохранить как...", "Save as\u2026"},
    {"-", "-"},
    {"Выход", "Exit"},
    {"Прибор", "Device"},
    {"Параметры", "Paremeters"},
    {"Единицы измерения прочности", "Strength units"},
    {"MPa", "MPa"},
    {"кгс/см2", "kgs/cm2"},
    {"Язык(Language)", "Language(Язык)"},
    {"Русский", "Русский"},
    {"English", "English"},
    {"Автоустановка часов", "Automatic clock setting"},
    {"Внешний вид...", "Appearance"},
    {"Справка", "Help"},
    {"Вызов справки", "Help call"},
    {"О программе", "About"},
    {"Копировать таблицу", "Copy table"},
    {"Копировать выделенное", "Copy selected"},
    {"Удалить результаты", "Delete results"},
    {"Названия", "Titles"},
    {"Записать в прибор", "Write to device"},
    {"Восстановить заводские", "Restore factory"},
    {"+7 (000) 000-00-00, +7 (000) 000-00-01", "+7 (000) 000-00-00, +7 (000) 000-00-01"},
    {"info@kadrel.example", "info@kadrel.example"},
    {"Написать письмо", "Write e-mail"},
    {"service@kadrel.example", "service@kadrel.example"},
    {"support@kadrel.example", "support@kadrel.example"},
    {"тел./факс.:", "phone/fax:"},
    {"Общие вопросы:", "General questions:"},
    {"(многоканальный)", "(multi-line)"},
    {"Сервис:", "Service:"},
    {"Сайт:", "Website:"},
    {"Техподдержка:", "Technical Support:"},
    {"https://www.kadrel.example", "https://www.kadrel.example"},
    {"«Норвент» в интернете", "Norvent on the web"},
    {"ООО «Норвент», г. Примерск", "Norvent Ltd., Primersk"},
    {"Версия:", "Version:"},
    {"OK", "OK"},
    {"Отчет по выделенному", "Selected report"},
    {"Печать...", "Print..."},
    {"Напечатать отчёт", "Print report"},
    {"Печатать комментарии", "Print comments"},
};

const QString ArchiveOpenFilter = QStringLiteral(
    "All Kadrel-1 Files|*.kadrel1??|Kadrel-1.AN File|*.kadrel1an|Kadrel-1.TL File|*.kadrel1tl|"
    "Kadrel-1.FX File|*.kadrel1fx|Kadrel-1.QM File|*.kadrel1qm|Kadrel-1.EG File|*.kadrel1eg");
const QString ArchiveSaveFilter = QStringLiteral(
    "Kadrel-1.AN File|*.kadrel1an|Kadrel-1.TL File|*.kadrel1tl|Kadrel-1.FX File|*.kadrel1fx|"
    "Kadrel-1.QM File|*.kadrel1qm|Kadrel-1.EG File|*.kadrel1eg");

QString TranslateText(const QString& text, const QString& code)
{
    const bool toRussian = code == QLatin1String("RU");
    for (const TTranslationPair& pair : TranslationTable) {
        const char* from = toRussian ? pair.English : pair.Russian;
        if (text == QString::fromUtf8(from)) {
            const QString to = QString::fromUtf8(toRussian ? pair.Russian : pair.English);
            return to.isEmpty() ? text : to;
        }
    }
    return text;
}

namespace
{

// Setters are called only for texts that change, so untranslated controls stay untouched.
template <typename Get, typename Set> void translateProperty(const QString& code, Get get, Set set)
{
    const QString before = get();
    const QString after = TranslateText(before, code);
    if (after != before)
        set(after);
}

void translateToolTip(QWidget* widget, const QString& code)
{
    translateProperty(
        code, [widget] { return widget->toolTip(); },
        [widget](const QString& text) { widget->setToolTip(text); });
}

// An action without a tooltip of its own shows its text as one; the tooltip is read before
// the text changes so that such an action keeps following its text.
void translateAction(QAction* action, const QString& code)
{
    const QString tip = action->toolTip();
    translateProperty(
        code, [action] { return action->text(); },
        [action](const QString& text) { action->setText(text); });
    const QString translatedTip = TranslateText(tip, code);
    if (translatedTip != tip)
        action->setToolTip(translatedTip);
}

void translateObject(QObject* object, const QString& code)
{
    if (auto* action = qobject_cast<QAction*>(object)) {
        translateAction(action, code);
        return;
    }
    auto* widget = qobject_cast<QWidget*>(object);
    if (!widget)
        return;
    if (auto* menu = qobject_cast<QMenu*>(widget)) {
        translateProperty(
            code, [menu] { return menu->title(); },
            [menu](const QString& text) { menu->setTitle(text); });
        translateToolTip(menu, code);
    } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        if (qobject_cast<QRadioButton*>(button))
            return;
        translateProperty(
            code, [button] { return button->text(); },
            [button](const QString& text) { button->setText(text); });
        translateToolTip(button, code);
    } else if (auto* label = qobject_cast<QLabel*>(widget)) {
        translateProperty(
            code, [label] { return label->text(); },
            [label](const QString& text) { label->setText(text); });
        translateToolTip(label, code);
    } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
        translateProperty(
            code, [group] { return group->title(); },
            [group](const QString& text) { group->setTitle(text); });
        translateToolTip(group, code);
    } else if (qobject_cast<QLineEdit*>(widget) || qobject_cast<QPlainTextEdit*>(widget) ||
               qobject_cast<QTextEdit*>(widget)) {
        translateToolTip(widget, code);
    } else if (auto* tabs = qobject_cast<QTabWidget*>(widget)) {
        for (int i = 0; i < tabs->count(); ++i) {
            translateProperty(
                code, [tabs, i] { return tabs->tabText(i); },
                [tabs, i](const QString& text) { tabs->setTabText(i, text); });
            translateProperty(
                code, [tabs, i] { return tabs->tabToolTip(i); },
                [tabs, i](const QString& text) { tabs->setTabToolTip(i, text); });
        }
    } else if (auto* dialog = qobject_cast<QFileDialog*>(widget)) {
        translateProperty(
            code, [dialog] { return dialog->windowTitle(); },
            [dialog](const QString& text) { dialog->setWindowTitle(text); });
    }
}

// Menus belong to their window; other child windows (dialogs, pop-up lists) and the insides
// of tables are not the window's own captions.
bool holdsOwnCaptions(const QObject* object)
{
    if (qobject_cast<const QAbstractItemView*>(object))
        return false;
    const auto* widget = qobject_cast<const QWidget*>(object);
    return !widget || !widget->isWindow() || qobject_cast<const QMenu*>(widget);
}

// Depth first, each object before its children, children in creation order.
void translateChildren(QObject* parent, const QString& code)
{
    for (QObject* child : parent->children()) {
        translateObject(child, code);
        if (holdsOwnCaptions(child))
            translateChildren(child, code);
    }
}

} // namespace

void TranslateForm(QWidget* form, const QString& code)
{
    translateProperty(
        code, [form] { return form->windowTitle(); },
        [form](const QString& text) { form->setWindowTitle(text); });
    translateToolTip(form, code);
    translateProperty(
        code, [] { return QGuiApplication::applicationDisplayName(); },
        [](const QString& text) { QGuiApplication::setApplicationDisplayName(text); });
    translateChildren(form, code);
}

bool ApplyQtLanguage(int lang)
{
    static QPointer<QTranslator> russian;
    if (lang == 1) {
        if (russian)
            QCoreApplication::removeTranslator(russian);
        return true;
    }
    if (!russian) {
        auto* translator = new QTranslator(QCoreApplication::instance());
        if (!translator->load(QStringLiteral("qtbase_ru"),
                              QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
            delete translator;
            return false;
        }
        russian = translator;
    }
    // Installing adds another reference; removing first keeps exactly one.
    QCoreApplication::removeTranslator(russian);
    return QCoreApplication::installTranslator(russian);
}

QString FilterExtension(const QString& filter, int n)
{
    QString rest = filter;
    for (int i = 0; i < n; ++i)
        rest.remove(0, rest.indexOf(QLatin1Char('*')) + 1);
    return rest.left(rest.indexOf(QLatin1Char('|')));
}
