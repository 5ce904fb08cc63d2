#include "XP_Color.h"

TqzXPColor::TqzXPColor(QObject *parent) : QObject(parent) {}

void TqzXPColor::changed()
{
    if (OnChange)
        OnChange(this);
}

void TqzXPColor::setBorderColor(TColor color)
{
    m_borderColor = color;
    changed();
}

void TqzXPColor::setBackColor(TColor color)
{
    m_backColor = color;
    changed();
}

void TqzXPColor::setBackHiColor(TColor color)
{
    m_backHiColor = color;
    changed();
}
