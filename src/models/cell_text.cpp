#include "models/cell_text.h"

#include "models/cp1251.h"

QString DateCell(const TArchBase& base)
{
    return QString::asprintf("%.2d.%.2d.%d", base.DateTime.Day, base.DateTime.Month,
                             base.DateTime.Year + 2000);
}

QString TimeCell(const TArchBase& base)
{
    return QString::asprintf("%.2d:%.2d", base.DateTime.Hour, base.DateTime.Minute);
}

QString NumCell(const TArchBase& base)
{
    return QString::number(base.Num);
}

QString NameCell(const TObjName& name)
{
    return FromCp1251(name.Name, int(sizeof name.Name));
}
