#pragma once
// The mouse coming over a widget and leaving it, as the window system tells a widget.

#include <QApplication>
#include <QEnterEvent>
#include <QWidget>

inline void enter(QWidget *w)
{
    QEnterEvent event(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
    QApplication::sendEvent(w, &event);
}

inline void leave(QWidget *w)
{
    QEvent event(QEvent::Leave);
    QApplication::sendEvent(w, &event);
}
