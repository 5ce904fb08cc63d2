// A window that shows the skinned controls in every state, for looking at them under a real X server:
// a row of skin buttons (normal, hover, pressed, disabled) with the built-in skin, a row with the
// skin given on the command line, and XP edits at rest and highlighted.
//
//   skin_demo [SKIN.bmp]

#include "Colors.h"
#include "NoxSkinBtn.h"
#include "XP_Color.h"
#include "XP_Edit.h"

#include <QApplication>
#include <QEnterEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QTimer>
#include <QWidget>

namespace {
void hover(QWidget *w)
{
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QApplication::sendEvent(w, &enter);
}

void press(QWidget *w)
{
    hover(w);
    QMouseEvent down(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(w, &down);
}

void row(QWidget *window, int top, const QString &skin, const QString &title)
{
    auto *label = new QLabel(title, window);
    label->move(8, top + 4);
    const char *captions[] = {"Добави", "Редакция", "Изтриване", "Стартирай"};
    for (int i = 0; i < 4; ++i) {
        auto *button = new TNoxSkinBtn(window);
        button->setObjectName(QStringLiteral("Button%1_%2").arg(top).arg(i));
        button->setCaption(QString::fromUtf8(captions[i]));
        button->SetBounds(120 + i * 80, top, 73, 25);
        if (!skin.isEmpty())
            button->ButtonSkin()->ApplySkinFile(skin);
        if (i == 1)
            QTimer::singleShot(300, button, [button] { hover(button); });
        if (i == 2)
            QTimer::singleShot(300, button, [button] { press(button); });
        if (i == 3)
            button->setEnabled(false);
    }
}
} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Cinaxo"));
    SysColors::fillFromPalette(QApplication::palette());
    QWidget window;
    window.setWindowTitle(QStringLiteral("Skinned controls"));
    window.resize(460, 150);
    QFont font = window.font();
    font.setPixelSize(11);
    window.setFont(font);
    row(&window, 10, QString(), QStringLiteral("Built-in skin"));
    row(&window, 45, argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString(), QStringLiteral("Shipped skin"));
    auto *rest = new TqzXPEdit(&window);
    rest->setGeometry(120, 85, 150, 21);
    rest->setText(QStringLiteral("C:\\Program Files\\MicroDVD"));
    rest->setReadOnly(true);
    rest->setCursorPosition(0);
    rest->setFocusPolicy(Qt::NoFocus);
    auto *lit = new TqzXPEdit(&window);
    lit->setGeometry(280, 85, 150, 21);
    lit->setText(QStringLiteral("C:\\Program Files\\BSPlayer"));
    lit->setReadOnly(true);
    lit->setCursorPosition(0);
    lit->setFocusPolicy(Qt::NoFocus);
    new QLabel(QStringLiteral("XP edits"), &window);
    window.findChildren<QLabel *>().last()->move(8, 88);
    window.show();
    QTimer::singleShot(300, lit, [lit] { hover(lit); });
    return QApplication::exec();
}
