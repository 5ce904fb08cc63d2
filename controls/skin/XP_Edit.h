#pragma once
// A flat single-line edit: no border at rest, a thin coloured border and a highlight background
// while the mouse is over it or it has the focus.

#include "Colors.h"

#include <QLineEdit>

class TqzXPColor;

class TqzXPEdit : public QLineEdit
{
    Q_OBJECT
    Q_PROPERTY(TqzXPColor *Colors READ Colors)

public:
    explicit TqzXPEdit(QWidget *parent = nullptr);

    TqzXPColor *Colors() const { return m_colors; }
    bool Hover() const { return m_hover; }
    bool Highlighted() const { return hasFocus() || m_hover; }
    // The background colour in use.
    TColor Color() const { return m_color; }
    void setColor(TColor color);
    // How many times the edit asked to be repainted; every colour assignment asks once.
    int RepaintRequests() const { return m_repaints; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void ColorsChanged(QObject *sender);
    void DrawFrame();

    TqzXPColor *m_colors;
    TColor m_color = clWindow;
    bool m_hover = false;
    int m_repaints = 0;
};
