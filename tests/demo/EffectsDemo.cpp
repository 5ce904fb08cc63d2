// A window with every gradient style and every frame style of the effect labels, for looking at
// them under a real X server.

#include "VelBackground.h"
#include "VelFont3D.h"
#include "VelFrame.h"
#include "VelLabel.h"

#include <QApplication>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    SysColors::fillFromPalette(QApplication::palette());
    QWidget window;
    window.setWindowTitle(QStringLiteral("Effect labels"));
    window.resize(700, 330);
    const char *gradients[] = {
        "Circle",       "Horizontal",        "Vertical",           "LeftBottom",  "RoundMiddle",
        "SquareMiddle", "Spectral",          "DoppelFlash",        "Singleflash", "MiddleHBar",
        "MiddleVBar",   "VerticalDoppelBar", "HorizontalDoppelBar"};
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(11);
    font.setBold(true);
    for (int i = 0; i < 13; ++i) {
        auto *background = new TVelBackground(&window);
        background->Gradient()->setBeginColor(clNavy);
        background->Gradient()->setEndColor(clYellow);
        background->Gradient()->setColorsInBetween({QStringLiteral("clRed")});
        background->Gradient()->setFillStyle(i);
        auto *label = new TVelLabel(&window);
        label->setGeometry(10 + (i % 5) * 136, 10 + (i / 5) * 66, 130, 60);
        label->setFont(font);
        label->setFontColor(clWhite);
        label->Font3D()->setStyle3D(fontOnlyShadow);
        label->Font3D()->setShadow(clBlack);
        label->setCaption(QString::fromLatin1(gradients[i]));
        label->setBackground(background);
    }
    const char *frames[] = {"Solid",      "Raised",  "Lowered",   "None",         "FramedUp",
                            "FramedDown", "PanelUp", "PanelDown", "LightBordered"};
    for (int i = 0; i < 9; ++i) {
        auto *label = new TVelLabel(&window);
        label->setGeometry(10 + (i % 5) * 136, 220 + (i / 5) * 50, 130, 40);
        label->setFont(font);
        label->setAlignment(TVelLabel::taCenter);
        label->setCaption(QStringLiteral("frame") + QString::fromLatin1(frames[i]));
        label->Frame()->setFrameStyle(i);
        label->Frame()->setFrameWidth(2);
        label->Font3D()->setStyle3D(i % 2 ? fontRaised : fontInset);
    }
    window.show();
    return QApplication::exec();
}
