#include "MainMenus.h"

#include "Application.h"
#include "BarMenus.h"
#include "Colors.h"
#include "FormSupport.h"
#include "MainForm.h"

#include <vector>

namespace {
struct MenuItemDef
{
    const char *name;
    const char *caption;
    void (TForm1::*handler)();
    QKeySequence shortCut = {};
};

TMenuItem *AddMenuItem(TForm1 *form, TMenuItem *parent, const MenuItemDef &def)
{
    auto *item = new TMenuItem(form);
    item->setObjectName(QString::fromLatin1(def.name));
    item->setCaption(QString::fromUtf8(def.caption));
    item->setShortCut(def.shortCut);
    if (def.handler)
        item->OnClick = Guarded([form, handler = def.handler] { (form->*handler)(); });
    parent->Add(item);
    return item;
}
} // namespace

TLumBarMainMenu *BuildMainMenu(TForm1 &form)
{
    // The menu as the window's layout gives it; Loaded at the end of the layout hooks its items.
    auto *menu = new TLumBarMainMenu(&form);
    menu->setObjectName(QStringLiteral("MainMenu1"));
    if (FormLoading::Active())
        menu->BeginLoading();
    menu->Bar()->setVisible(false);
    TLumFont *caption = menu->Bar()->BarCaption()->Font();
    caption->setName(QStringLiteral("Tahoma"));
    caption->setHeight(-19);
    caption->setColor(clWhite);
    caption->setBold(true);
    caption->setItalic(true);
    menu->Separators()->setFade(true);
    menu->Separators()->Font()->setName(QStringLiteral("MS Sans Serif"));
    menu->Separators()->Font()->setHeight(-11);
    menu->GetMenuFont()->setName(QStringLiteral("MS Sans Serif"));
    menu->GetMenuFont()->setHeight(-11);
    menu->SetMenuStyle(msWindowsXP);
    struct Menu
    {
        MenuItemDef title;
        std::vector<MenuItemDef> items;
    };
    const Menu menus[] = {
        {{"N1", "Файл", nullptr},
         {{"N2", "Програмни настройки", &TForm1::N2Click},
          {"N3", "-", nullptr},
          {"N16", "Експорт...", &TForm1::N16Click},
          {"N17", "Импорт...", &TForm1::N17Click},
          {"N15", "-", nullptr},
          {"NRestore", "Възстанови от копие...", &TForm1::RestoreClick},
          {"NRestoreLine", "-", nullptr},
          {"N4", "Изход", &TForm1::N4Click}}},
        {{"N5", "Запис", nullptr},
         {{"N6", "Добави", &TForm1::Button1Click},
          {"N7", "Редакция", &TForm1::Button2Click},
          {"N8", "Изтрий", &TForm1::Button03Click},
          {"N9", "-", nullptr},
          {"N10", "Стартирай", &TForm1::Button04Click},
          {"N18", "-", nullptr},
          {"N19", "Даден на...", &TForm1::N19Click},
          {"N20", "Върнат", &TForm1::N20Click},
          {"N24", "-", nullptr},
          {"N23", "Добави от диск...", &TForm1::N23Click},
          {"NFindLine", "-", nullptr},
          {"NFind", "Търсене...", &TForm1::FindClick, QKeySequence(Qt::CTRL | Qt::Key_F)},
          {"NHistoryLine", "-", nullptr},
          {"N21", "Отмени", &TForm1::N21Click, QKeySequence(Qt::CTRL | Qt::Key_Z)},
          {"N22", "Повтори", &TForm1::N22Click, QKeySequence(Qt::CTRL | Qt::Key_Y)}}},
        {{"N11", "Помощ", nullptr},
         {{"N12", "Помощ", nullptr}, {"N13", "-", nullptr}, {"N14", "За програмата", &TForm1::N14Click}}},
    };
    for (const Menu &drop : menus) {
        TMenuItem *title = AddMenuItem(&form, menu->Items(), drop.title);
        for (const MenuItemDef &item : drop.items)
            AddMenuItem(&form, title, item);
    }
    menu->SetWindow(&form);
    return menu;
}

TLumCustomBarPopupMenu *BuildGridMenu(TForm1 &form)
{
    // The record commands at hand on a film in the grid.
    auto *menu = new TLumCustomBarPopupMenu(&form);
    menu->setObjectName(QStringLiteral("GridMenu"));
    menu->SetMenuStyle(msWindowsXP);
    menu->Separators()->setFade(true);
    menu->Bar()->BarCaption()->setCaption(QStringLiteral("Cinaxo"));
    const MenuItemDef items[] = {
        {"GridAdd", "Добави", &TForm1::Button1Click, QKeySequence(Qt::Key_Insert)},
        {"GridEdit", "Редакция", &TForm1::Button2Click, QKeySequence(Qt::Key_F9)},
        {"GridDelete", "Изтрий", &TForm1::Button03Click, QKeySequence(Qt::Key_Delete)},
        {"GridLine", "-", nullptr},
        {"GridStart", "Стартирай", &TForm1::Button04Click, QKeySequence(Qt::Key_Return)},
        {"GridLine2", "-", nullptr},
        {"GridLend", "Даден на...", &TForm1::N19Click},
        {"GridReturn", "Върнат", &TForm1::N20Click},
        {"GridLine3", "-", nullptr},
        {"GridAddFromDisc", "Добави от диск...", &TForm1::N23Click},
    };
    for (const MenuItemDef &item : items)
        AddMenuItem(&form, menu->Items(), item);
    // Starting the film is what a double click does.
    menu->Items()->Items(4)->setDefault(true);
    return menu;
}
