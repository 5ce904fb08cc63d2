#include "FormSupport.h"

#include "Dialogs.h"
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
    // A skin that cannot be used is reported once per start, not once for every button of every
    // window; the buttons keep the built-in skin.
    static QString refused;
    for (TNoxSkinBtn *button : buttons) {
        // The name is made afresh for every button; an installed copy falls back on its shipped skin.
        const QString file = ProgramFile(QStringLiteral("Skin/btnsource.bmp"));
        if (!TButtonSkin::IsValidSkin(file)) {
            if (file != refused)
                Dialogs().ShowMessage(QStringLiteral("Bitmap is not valid skin bitmap"));
            refused = file;
            continue;
        }
        button->ButtonSkin()->ApplySkinFile(file);
    }
}
