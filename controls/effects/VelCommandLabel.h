#pragma once
// A hyperlink label: pressing it hands its target to the system (a web or mail address, an FTP
// address, a file) or fires an event of the program's own. It shows a hover colour while the mouse
// is over it and a followed colour once it has been pressed.

#include "Colors.h"

#include <QLabel>
#include <functional>

enum TVelCommand { runNothing, runMAIL, runURL, runFTP, runFILE, runEVENT };

class TVelCommandLabel : public QLabel
{
    Q_OBJECT
    Q_PROPERTY(int Command READ Command WRITE setCommand)
    Q_PROPERTY(uint FollowedColor READ FollowedColor WRITE setFollowedColor)
    Q_PROPERTY(uint MoveOverColor READ MoveOverColor WRITE setMoveOverColor)
    Q_PROPERTY(QString CaptionValue READ CaptionValue WRITE setCaptionValue)
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption)

public:
    explicit TVelCommandLabel(QWidget *parent = nullptr);

    int Command() const { return m_command; }
    void setCommand(int value) { m_command = value; }
    TColor FollowedColor() const { return m_followedColor; }
    void setFollowedColor(TColor value) { m_followedColor = value; }
    TColor MoveOverColor() const { return m_moveOverColor; }
    void setMoveOverColor(TColor value) { m_moveOverColor = value; }
    const QString &CaptionValue() const { return m_captionValue; }
    void setCaptionValue(const QString &value) { m_captionValue = value; }
    QString Caption() const { return text(); }
    void setCaption(const QString &caption) { setText(caption); }

    TColor FontColor() const { return m_fontColor; }
    void setFontColor(TColor color);
    bool Followed() const { return m_followed; }
    TColor NormalColor() const { return m_normalColor; }

    std::function<void(QObject *sender)> RunEvent;
    // The text the command hands to the system, or "event".
    QString Target() const;
    static QString Prefix(int command);

    // After the window's layout is read: the current font colour becomes the resting colour.
    Q_INVOKABLE void Loaded();

signals:
    void OnClick();
    void OnMouseDown();
    void OnMouseUp();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    void hoverStarts();
    void left();
    void execute();

    int m_command = runURL;
    TColor m_followedColor = clPurple;
    TColor m_moveOverColor = clRed;
    QString m_captionValue;
    TColor m_fontColor = clBlack;
    TColor m_normalColor = 0;
    bool m_followed = false;
    bool m_buttonHeld = false;
    bool m_inside = false;
};
