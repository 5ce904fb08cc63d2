#pragma once
// The colours of a flat XP-style edit. Every assignment tells the owner, changed or not.

#include "Colors.h"

#include <QObject>
#include <functional>

class TqzXPColor : public QObject
{
    Q_OBJECT
    Q_PROPERTY(uint BorderColor READ BorderColor WRITE setBorderColor)
    Q_PROPERTY(uint BackColor READ BackColor WRITE setBackColor)
    Q_PROPERTY(uint BackHiColor READ BackHiColor WRITE setBackHiColor)

public:
    explicit TqzXPColor(QObject *parent = nullptr);

    TColor BorderColor() const { return m_borderColor; }
    void setBorderColor(TColor color);
    TColor BackColor() const { return m_backColor; }
    void setBackColor(TColor color);
    TColor BackHiColor() const { return m_backHiColor; }
    void setBackHiColor(TColor color);

    std::function<void(QObject *sender)> OnChange;

private:
    void changed();

    TColor m_borderColor = 0x6B2408;
    TColor m_backColor = clBtnFace;
    TColor m_backHiColor = 0xD6BEB5;
};
