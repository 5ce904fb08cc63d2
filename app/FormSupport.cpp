#include "FormSupport.h"

#include "NoxSkinBtn.h"
#include "ProgramFolders.h"

QFont LayoutFont(const char *family, int pixels, bool bold)
{
    QFont font(QString::fromLatin1(family));
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

void LoadSkins(std::initializer_list<TNoxSkinBtn *> buttons)
{
    // The name is made afresh for every button; an installed copy falls back on its shipped skin.
    for (TNoxSkinBtn *button : buttons)
        button->ButtonSkin()->ApplySkinFile(ProgramFile(QStringLiteral("Skin/btnsource.bmp")));
}
