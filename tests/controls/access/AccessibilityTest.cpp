#include "Accessibility.h"
#include "NoxSkinBtn.h"
#include "VelCommandLabel.h"
#include "VelLabel.h"

#include <QAccessible>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

TEST(Accessibility, SelfPaintedComponentsHaveTheirRolesNamesAndPress)
{
    InstallAccessibility();
    QWidget window;
    auto *button = new TNoxSkinBtn(&window);
    button->setCaption(QString::fromUtf8("Добави"));
    button->SetBounds(8, 8, 73, 25);
    auto *label = new TVelLabel(&window);
    label->setCaption(QString::fromUtf8("Cinaxo — каталог"));
    auto *link = new TVelCommandLabel(&window);
    link->setCaption(QStringLiteral("www.cinaxo.org"));
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    const struct
    {
        QObject *object;
        QAccessible::Role role;
        QString name;
    } components[] = {{button, QAccessible::Button, QString::fromUtf8("Добави")},
                      {label, QAccessible::StaticText, QString::fromUtf8("Cinaxo — каталог")},
                      {link, QAccessible::Link, QStringLiteral("www.cinaxo.org")}};
    for (const auto &c : components) {
        QAccessibleInterface *face = QAccessible::queryAccessibleInterface(c.object);
        ASSERT_NE(face, nullptr) << c.object->metaObject()->className();
        EXPECT_EQ(face->role(), c.role) << c.object->metaObject()->className();
        EXPECT_EQ(face->text(QAccessible::Name), c.name);
    }

    // Pressing through the accessibility action is a click, and a disabled button takes none.
    int clicks = 0;
    QObject::connect(button, &TNoxSkinBtn::OnClick, [&clicks] { ++clicks; });
    QAccessibleActionInterface *actions = QAccessible::queryAccessibleInterface(button)->actionInterface();
    ASSERT_NE(actions, nullptr);
    ASSERT_TRUE(actions->actionNames().contains(QAccessibleActionInterface::pressAction()));
    actions->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(clicks, 1);
    button->setEnabled(false);
    actions->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(clicks, 1);
    // A new caption is the new name.
    button->setCaption(QString::fromUtf8("Изтриване"));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(button)->text(QAccessible::Name),
              QString::fromUtf8("Изтриване"));
}
