#include "AboutForm.h"
#include "AddEditForm.h"
#include "ConfigForm.h"
#include "MainForm.h"
#include "ProgramDir.h"
#include "ui_AddEditForm.h"
#include "ui_ConfigForm.h"
#include "ui_MainForm.h"

#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>

namespace {
// The controls Tab (or Shift+Tab) reaches from the focus, once round the window; Tab steps through
// the grid's columns before it leaves the grid.
QStringList walk(QWidget &window, bool backwards)
{
    QStringList reached;
    QWidget *start = QApplication::focusWidget();
    QWidget *last = start;
    for (int step = 0; step < 40; ++step) {
        QTest::keyClick(last, Qt::Key_Tab, backwards ? Qt::ShiftModifier : Qt::NoModifier);
        QWidget *now = QApplication::focusWidget();
        if (!now || !window.isAncestorOf(now))
            break;
        if (now == last)
            continue;
        reached << now->objectName();
        last = now;
        if (now == start)
            break;
    }
    return reached;
}

QStringList reversed(QStringList list)
{
    std::reverse(list.begin(), list.end());
    return list;
}

void expectRound(QWidget &window, const QStringList &order)
{
    ASSERT_TRUE(QTest::qWaitFor([&window] {
        return QApplication::focusWidget() && window.isAncestorOf(QApplication::focusWidget());
    }));
    EXPECT_EQ(walk(window, false), order.mid(1) + order.mid(0, 1));
    EXPECT_EQ(walk(window, true), reversed(order));
}
} // namespace

TEST(Keyboard, TabGoesRoundEachWindowInTheOrderOfItsLayout)
{
    ProgramDir dir;
    TForm1 form;
    form.show();
    form.activateWindow();
    form.ui().DBGrid1->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([] { return QApplication::focusWidget() != nullptr; }));
    // Tab steps through the grid's columns; Ctrl+Tab leaves the grid for the player list, the one
    // other control that takes the focus (the skin buttons' commands have keys and menu items).
    QTest::keyClick(form.ui().DBGrid1, Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(QApplication::focusWidget(), form.ui().PlayerBox);
    QTest::keyClick(form.ui().PlayerBox, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), form.ui().DBGrid1);

    whenModal([](QWidget *modal) {
        modal->activateWindow();
        expectRound(*modal, {QStringLiteral("DBEdit1"), QStringLiteral("DBEdit2"), QStringLiteral("DBEdit3"),
                             QStringLiteral("editVideo"), QStringLiteral("editAudio"),
                             QStringLiteral("editSub"), QStringLiteral("DBEdit7"),
                             QStringLiteral("ComboBox1"), QStringLiteral("qt_tabwidget_tabbar")});
        static_cast<QDialog *>(modal)->reject();
    });
    form.Button2Click();

    whenModal([](QWidget *modal) {
        modal->activateWindow();
        expectRound(*modal, {QStringLiteral("qt_tabwidget_tabbar"), QStringLiteral("MicroDVDPath"),
                             QStringLiteral("BSPlayerPath"), QStringLiteral("MediaPlayerPath")});
        static_cast<QDialog *>(modal)->reject();
    });
    form.N2Click();
}
