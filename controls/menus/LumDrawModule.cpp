#include "LumDrawModule.h"

#include "BarMenus.h"

TLumBarMenusDrawModule::TLumBarMenusDrawModule(QObject *owner) : QObject(owner) {}

void TLumBarMenusDrawModule::UpdateMenu()
{
    if (m_menu)
        m_menu->SetDrawModule(this);
}
