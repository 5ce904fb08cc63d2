#pragma once
// The about window. For now it shows the program's name and version; its effect labels follow.

#include <QDialog>

class TAboutForm : public QDialog
{
    Q_OBJECT

public:
    explicit TAboutForm(QWidget *parent = nullptr);
};

extern TAboutForm *AboutForm;
