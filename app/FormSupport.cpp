#include "FormSupport.h"

#include "Colors.h"
#include "Dialogs.h"
#include "NoxSkinBtn.h"
#include "ProgramFolders.h"

#include <QPainter>
#include <QWidget>

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

void PaintPanelBevels(QWidget *panel)
{
    // The outer bevel lowered, the inner one raised, one pixel each; the bottom and right edges of a
    // ring are drawn last and take its top-right and bottom-left corners.
    QPainter painter(panel);
    const TColor rings[2][2] = {{clBtnShadow, clBtnHighlight}, {clBtnHighlight, clBtnShadow}};
    QRect r = panel->rect();
    for (const auto &ring : rings) {
        painter.setPen(toQColor(ring[0]));
        painter.drawLine(r.topLeft(), r.bottomLeft());
        painter.drawLine(r.topLeft(), r.topRight());
        painter.setPen(toQColor(ring[1]));
        painter.drawLine(r.topRight(), r.bottomRight());
        painter.drawLine(r.bottomLeft(), r.bottomRight());
        r.adjust(1, 1, -1, -1);
    }
}
