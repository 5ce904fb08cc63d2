#include "VelCommandLabel.h"

#include "Shell.h"

#include <QMouseEvent>

TVelCommandLabel::TVelCommandLabel(QWidget *parent) : QLabel(parent)
{
    setCaptionValue(QStringLiteral("cinaxo.example.org"));
    setCaption(QStringLiteral("cinaxo.example.org"));
    QFont f = font();
    f.setPointSize(10);
    f.setUnderline(true);
    setFont(f);
    setFontColor(clBlue);
    setMouseTracking(true);
}

void TVelCommandLabel::setFontColor(TColor color)
{
    m_fontColor = color;
    QPalette p = palette();
    p.setColor(QPalette::WindowText, toQColor(color));
    setPalette(p);
}

void TVelCommandLabel::Loaded()
{
    m_normalColor = m_fontColor;
}

QString TVelCommandLabel::Prefix(int command)
{
    switch (command) {
    case runMAIL:
        return QStringLiteral("mailto:");
    case runURL:
        return QStringLiteral("http://");
    case runFTP:
        return QStringLiteral("ftp://");
    case runFILE:
        return QStringLiteral("file:");
    case runEVENT:
        return QStringLiteral("event");
    default:
        return QString();
    }
}

QString TVelCommandLabel::Target() const
{
    QString prefix = Prefix(m_command);
    if (!prefix.isEmpty() && Caption().startsWith(prefix))
        prefix.clear();
    return prefix == QLatin1String("event") ? prefix : prefix + m_captionValue;
}

void TVelCommandLabel::execute()
{
    const QString target = Target();
    if (target != QLatin1String("event")) {
        Shell().OpenAddress(target);
        return;
    }
    if (RunEvent)
        RunEvent(this);
}

void TVelCommandLabel::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !isEnabled() || !isVisible())
        return;
    m_buttonHeld = true;
    m_inside = true;
    setFontColor(m_normalColor);
    m_followed = true;
    emit OnMouseDown();
    // The command runs on the press, before the release and the click.
    execute();
}

void TVelCommandLabel::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !isEnabled() || !isVisible() || !m_buttonHeld)
        return;
    m_buttonHeld = false;
    m_inside = false;
    setFontColor(m_followedColor);
    emit OnMouseUp();
    const QPoint p = event->position().toPoint();
    if (p.x() >= 0 && p.y() >= 0 && p.x() <= width() && p.y() <= height())
        emit OnClick();
}

void TVelCommandLabel::hoverStarts()
{
    if (isEnabled() && isVisible() && window()->isActiveWindow())
        setFontColor(m_moveOverColor);
}

void TVelCommandLabel::left()
{
    m_inside = false;
    setFontColor(m_followed ? m_followedColor : m_normalColor);
}

void TVelCommandLabel::enterEvent(QEnterEvent *event)
{
    QLabel::enterEvent(event);
    hoverStarts();
}

void TVelCommandLabel::leaveEvent(QEvent *event)
{
    QLabel::leaveEvent(event);
    left();
}

void TVelCommandLabel::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint p = event->position().toPoint();
    const bool outside = p.x() < 0 || p.y() < 0 || p.x() > width() || p.y() > height();
    if (outside && m_inside)
        left();
    else if (!outside && !m_inside && m_buttonHeld)
        m_inside = true;
    QLabel::mouseMoveEvent(event);
}
