#include "FormSupport.h"

#include "Application.h"
#include "NoxSkinBtn.h"

QFont LayoutFont(const char *family, int pixels, bool bold)
{
    QFont font(QString::fromLatin1(family));
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

void LoadSkins(std::initializer_list<TNoxSkinBtn *> buttons)
{
    // The name is made afresh for every button.
    for (TNoxSkinBtn *button : buttons)
        button->ButtonSkin()->ApplySkinFile(ProgramDirectory() + QStringLiteral("Skin/btnsource.bmp"));
}
