#pragma once
// What the program's windows share: the fonts their layouts name, and the skin of their buttons.

#include <QFont>
#include <initializer_list>

class QWidget;
class TNoxSkinBtn;

// A font of the layouts, in pixels; the application substitutes the nearest installed face.
QFont LayoutFont(const char *family, int pixels, bool bold = false);
// Points the buttons, in this order, at "Skin/btnsource.bmp" in the program directory. A skin file
// that is missing or not a skin is reported once per start; the buttons keep the built-in skin.
void LoadSkins(std::initializer_list<TNoxSkinBtn *> buttons);
// The control panel's border: an outer lowered and an inner raised bevel of a pixel each.
void PaintPanelBevels(QWidget *panel);
