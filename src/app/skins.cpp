#include "app/skins.h"

#include <QApplication>
#include <QPalette>
#include <QStyle>
#include <QStyleFactory>

namespace
{

const QString DarkSkin = QStringLiteral("Fusion Dark");

QPalette DarkPalette()
{
    QPalette palette;
    const QColor window(0x35, 0x37, 0x3b);
    const QColor base(0x25, 0x27, 0x2a);
    const QColor text(0xe6, 0xe6, 0xe6);
    const QColor disabled(0x7f, 0x7f, 0x7f);
    palette.setColor(QPalette::Window, window);
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Base, base);
    palette.setColor(QPalette::AlternateBase, window);
    palette.setColor(QPalette::ToolTipBase, base);
    palette.setColor(QPalette::ToolTipText, text);
    palette.setColor(QPalette::Text, text);
    palette.setColor(QPalette::Button, window);
    palette.setColor(QPalette::ButtonText, text);
    palette.setColor(QPalette::BrightText, Qt::red);
    palette.setColor(QPalette::Link, QColor(0x5d, 0xa9, 0xf6));
    palette.setColor(QPalette::Highlight, QColor(0x3d, 0x7a, 0xc6));
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::Disabled, QPalette::Text, disabled);
    palette.setColor(QPalette::Disabled, QPalette::ButtonText, disabled);
    palette.setColor(QPalette::Disabled, QPalette::WindowText, disabled);
    return palette;
}

// The style the platform started with, to return to when skinning is off.
const QString& PlatformStyle()
{
    static const QString name = QApplication::style()->name();
    return name;
}

} // namespace

QStringList SkinNames()
{
    QStringList names{DefaultSkin, DarkSkin};
    for (const QString& key : QStyleFactory::keys()) {
        if (key.compare(DefaultSkin, Qt::CaseInsensitive) != 0)
            names << key;
    }
    return names;
}

void ApplySkin(const QString& name, bool enabled)
{
    const QString platform = PlatformStyle();
    const bool known = SkinNames().contains(name);
    const QString styleName = !enabled || !known ? platform
                              : name == DarkSkin ? QString(DefaultSkin)
                                                 : name;
    QApplication::setStyle(QStyleFactory::create(styleName));
    QApplication::setPalette(
        enabled && name == DarkSkin ? DarkPalette() : QApplication::style()->standardPalette());
}
