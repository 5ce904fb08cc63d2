#pragma once
// A plug-in for a bar menu that measures and draws items in its own way. It has no drawing of its
// own: whoever uses a menu supplies a concrete module and attaches it with the menu's DrawModule.

#include "Menus.h"

#include <QObject>
#include <QRect>

class IBarMenusIntf;
class TCanvas;

class TLumBarMenusDrawModule : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString Description READ Description WRITE setDescription)

public:
    explicit TLumBarMenusDrawModule(QObject *owner = nullptr);

    // The menu the module serves; the menu sets it.
    IBarMenusIntf *Menu() const { return m_menu; }
    void setMenu(IBarMenusIntf *menu) { m_menu = menu; }
    QString Description() const { return m_description; }
    void setDescription(const QString &value) { m_description = value; }

    // ARect is the item's rectangle without the bar column. Clearing DefaultDraw leaves the item
    // to the module.
    virtual void DrawMenuItem(TMenuItem *AMenuItem, TCanvas &ACanvas, QRect ARect, TOwnerDrawState State,
                              bool ABarVisible, bool &DefaultDraw) = 0;
    virtual void MeasureMenuItem(TMenuItem *AMenuItem, TCanvas &ACanvas, int &Width, int &Height,
                                 bool ABarVisible, bool &DefaultMeasure) = 0;
    // Attaches the module to its menu again, so that the menu measures and paints anew.
    virtual void UpdateMenu();

private:
    IBarMenusIntf *m_menu = nullptr;
    QString m_description;
};
