#include "Accessibility.h"

#include "NoxSkinBtn.h"
#include "VelCommandLabel.h"
#include "VelLabel.h"

#include <QAccessibleWidget>
#include <QApplication>
#include <QMouseEvent>

namespace {
// A press as the user makes it with the mouse, so that everything a click does happens.
void clickAtCentre(QWidget *widget)
{
    const QPointF centre(widget->width() / 2.0, widget->height() / 2.0);
    const QPointF global = widget->mapToGlobal(centre);
    QMouseEvent press(QEvent::MouseButtonPress, centre, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, centre, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
    QApplication::sendEvent(widget, &release);
}

// A caption's "&" marks its access key; the name is the text without it.
QString withoutMarks(QString caption)
{
    return caption.replace(QStringLiteral("&&"), QStringLiteral("\x01"))
        .remove(QLatin1Char('&'))
        .replace(QLatin1Char('\x01'), QLatin1Char('&'));
}

class Pressable : public QAccessibleWidget
{
public:
    Pressable(QWidget *widget, QAccessible::Role role, QString (*caption)(QWidget *))
        : QAccessibleWidget(widget, role), m_caption(caption)
    {}
    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            return withoutMarks(m_caption(widget()));
        return QAccessibleWidget::text(t);
    }
    QStringList actionNames() const override
    {
        return QStringList{pressAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString &name) override
    {
        if (name != pressAction())
            return QAccessibleWidget::doAction(name);
        if (widget()->isEnabled() && widget()->isVisible())
            clickAtCentre(widget());
    }

private:
    QString (*m_caption)(QWidget *);
};

class EffectText : public QAccessibleWidget
{
public:
    explicit EffectText(TVelLabel *label) : QAccessibleWidget(label, QAccessible::StaticText) {}
    QString text(QAccessible::Text t) const override
    {
        if ((t == QAccessible::Name || t == QAccessible::Value) && widget()->accessibleName().isEmpty())
            return withoutMarks(static_cast<TVelLabel *>(widget())->Caption());
        return QAccessibleWidget::text(t);
    }
};

QAccessibleInterface *componentsFactory(const QString &, QObject *object)
{
    if (auto *button = qobject_cast<TNoxSkinBtn *>(object)) {
        return new Pressable(button, QAccessible::Button,
                             [](QWidget *w) { return static_cast<TNoxSkinBtn *>(w)->Caption(); });
    }
    if (auto *link = qobject_cast<TVelCommandLabel *>(object)) {
        return new Pressable(link, QAccessible::Link,
                             [](QWidget *w) { return static_cast<TVelCommandLabel *>(w)->Caption(); });
    }
    if (auto *label = qobject_cast<TVelLabel *>(object))
        return new EffectText(label);
    return nullptr;
}
} // namespace

void InstallAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(componentsFactory);
        return true;
    }();
    Q_UNUSED(installed);
}
