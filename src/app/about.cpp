#include "app/about.h"

#include "app/help.h"
#include "app/trans.h"
#include "models/messages.h"

#include <QDialogButtonBox>
#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QUrlQuery>
#include <QVBoxLayout>

namespace
{

// The maker's contacts are rows of the translation table, which holds them once for both
// languages.
QString MakerText(int row)
{
    return QString::fromUtf8(TranslationTable[row].Russian);
}
const int MakerPhonesRow = 32;
const int MakerInfoMailRow = 33;
const int MakerServiceMailRow = 35;
const int MakerSupportMailRow = 36;
const int MakerWebRow = 43;
const int MakerWebHintRow = 44;
const int MakerLineRow = 45;

const QColor LinkColor(0, 0, 255);

// The maker's logo: a blue disc with a white N over an orange arc.
QPixmap MakerLogo()
{
    const int size = 64;
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);

    QRadialGradient disc(size * 0.35, size * 0.3, size * 0.8);
    disc.setColorAt(0, QColor(70, 130, 220));
    disc.setColorAt(1, QColor(10, 40, 120));
    painter.setPen(Qt::NoPen);
    painter.setBrush(disc);
    painter.drawEllipse(2, 2, size - 4, size - 4);

    QPainterPath letter;
    letter.moveTo(20, 46);
    letter.lineTo(20, 18);
    letter.lineTo(44, 46);
    letter.lineTo(44, 18);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Qt::white, 6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(letter);

    painter.setPen(QPen(QColor(255, 150, 30), 3, Qt::SolidLine, Qt::RoundCap));
    painter.drawArc(QRectF(9, 9, size - 18, size - 18), 200 * 16, 140 * 16);
    return pixmap;
}

} // namespace

QString GetVersionString()
{
    const QString version = QStringLiteral(KADREL_VERSION);
    return version.isEmpty() ? QStringLiteral("No version information found") : version;
}

QDate GetBuildDate()
{
    // __DATE__ reads "Mmm dd yyyy", the day padded with a blank.
    return QDate::fromString(QString::fromLatin1(__DATE__).simplified(),
                             QStringLiteral("MMM d yyyy"));
}

QUrl MailToUrl(const QString& address, const QString& subject)
{
    QUrl url;
    url.setScheme(QStringLiteral("mailto"));
    url.setPath(address);
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("Subject"), subject);
    url.setQuery(query);
    return url;
}

TAboutBox::TAboutBox(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("О программе"));

    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setLineWidth(2);
    auto* grid = new QGridLayout(panel);
    grid->setContentsMargins(14, 12, 14, 12);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(4);

    QLabel* icon = AddLabel("ProgramIcon", QString());
    icon->setPixmap(MakerLogo());
    icon->setCursor(Qt::PointingHandCursor);
    icon->setToolTip(MakerText(MakerWebHintRow));
    icon->setAlignment(Qt::AlignTop | Qt::AlignLeft);

    QLabel* product = AddLabel("ProductName", QString::fromUtf8(ProgramTitle));
    QFont productFont = product->font();
    productFont.setPointSizeF(productFont.pointSizeF() * 1.6);
    productFont.setBold(true);
    product->setFont(productFont);
    QLabel* maker = AddLabel("LabelMaker", MakerText(MakerLineRow));

    auto* versionRow = new QHBoxLayout;
    versionRow->setSpacing(6);
    versionRow->addWidget(AddLabel("Label1", QStringLiteral("Версия:")));
    m_version = AddLabel("Version", QString());
    versionRow->addWidget(m_version, 1);

    auto* heading = new QVBoxLayout;
    heading->addWidget(product);
    heading->addWidget(maker);
    heading->addLayout(versionRow);
    grid->addWidget(icon, 0, 0, 1, 1);
    grid->addLayout(heading, 0, 1, 1, 3);
    grid->setRowMinimumHeight(1, 10);

    grid->addWidget(AddLabel("LabelFax", QStringLiteral("тел./факс.:")), 2, 0, 1, 2);
    // One number per line, each with its "(многоканальный)" beside it.
    const QStringList numbers = MakerText(MakerPhonesRow).split(QStringLiteral(", "));
    QLabel* phones = AddLabel("Comments", numbers.join(QLatin1Char('\n')));
    grid->addWidget(phones, 2, 2, 2, 1);
    auto* multi = new QVBoxLayout;
    multi->setSpacing(0);
    multi->addWidget(AddLabel("LabelMulti", QStringLiteral("(многоканальный)")));
    multi->addWidget(AddLabel("LabelMulti2", QStringLiteral("(многоканальный)")));
    grid->addLayout(multi, 2, 3, 2, 1);

    const QString mailHint = QStringLiteral("Написать письмо");
    struct Contact {
        const char* caption;
        QString captionText;
        const char* link;
        QString address;
        QString hint;
    };
    const Contact contacts[] = {
        {"LabelSite", QStringLiteral("Сайт:"), "LabelWWW", MakerText(MakerWebRow),
         MakerText(MakerWebHintRow)},
        {"LabelInfo", QStringLiteral("Общие вопросы:"), "LabelEMail", MakerText(MakerInfoMailRow),
         mailHint},
        {"LabelTech", QStringLiteral("Техподдержка:"), "LabelEMailTech",
         MakerText(MakerSupportMailRow), mailHint},
        {"LabelService", QStringLiteral("Сервис:"), "LabelEMailService",
         MakerText(MakerServiceMailRow), mailHint},
    };
    int row = 4;
    for (const Contact& contact : contacts) {
        grid->addWidget(AddLabel(contact.caption, contact.captionText), row, 0, 1, 2);
        QLabel* link = AddLink(contact.link, contact.address, contact.hint);
        grid->addWidget(link, row, 2, 1, 2);
        if (link->objectName() == QLatin1String("LabelWWW"))
            m_web = link;
        else
            m_mailLabels << link;
        ++row;
    }

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("OKButton"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->addWidget(panel);
    layout->addWidget(ok, 0, Qt::AlignHCenter);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QLabel* TAboutBox::AddLabel(const char* name, const QString& text)
{
    auto* label = new QLabel(text, this);
    label->setObjectName(QLatin1String(name));
    return label;
}

QLabel* TAboutBox::AddLink(const char* name, const QString& text, const QString& hint)
{
    QLabel* label = AddLabel(name, text);
    QFont font = label->font();
    font.setUnderline(true);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, LinkColor);
    label->setPalette(palette);
    label->setCursor(Qt::PointingHandCursor);
    label->setToolTip(hint);
    label->installEventFilter(this);
    return label;
}

void TAboutBox::ApplyLanguage(int lang)
{
    if (lang == m_curLang)
        return;
    TranslateForm(this, lang == 1 ? QStringLiteral("EN") : QStringLiteral("RU"));
    m_curLang = lang;
}

void TAboutBox::showEvent(QShowEvent* event)
{
    m_version->setText(GetVersionString() + Message(msgVersionDate, m_curLang) +
                       QLocale::system().toString(GetBuildDate(), QLocale::ShortFormat));
    QDialog::showEvent(event);
    CentreOnParent();
}

bool TAboutBox::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        auto* label = qobject_cast<QLabel*>(watched);
        if (label == m_web)
            OpenUrl(QUrl::fromUserInput(label->text()));
        else if (m_mailLabels.contains(label))
            OpenUrl(MailToUrl(label->text(), QString::fromUtf8(ProgramTitle)));
    }
    return QDialog::eventFilter(watched, event);
}

void TAboutBox::CentreOnParent()
{
    if (QWidget* owner = parentWidget()) {
        QRect frame = frameGeometry();
        frame.moveCenter(owner->window()->frameGeometry().center());
        move(frame.topLeft());
    }
}
