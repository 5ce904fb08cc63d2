#pragma once
// The main window's menus as its layout gives them: the bar main menu and the grid's pop-up menu,
// each item calling the window's command.

class TForm1;
class TLumBarMainMenu;
class TLumCustomBarPopupMenu;

// Made while the window's layout is loading, so that the menu's Loaded hooks its items.
TLumBarMainMenu *BuildMainMenu(TForm1 &form);
TLumCustomBarPopupMenu *BuildGridMenu(TForm1 &form);
