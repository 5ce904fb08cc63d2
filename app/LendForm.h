#pragma once
// The dialog that asks to whom a disc is lent: an editable list of the names the catalogue knows.

#include <QDialog>
#include <functional>
#include <memory>

namespace Ui {
class TLendForm;
}

class TLendForm : public QDialog
{
    Q_OBJECT

public:
    explicit TLendForm(QWidget *owner);
    ~TLendForm() override;

    Ui::TLendForm &ui() const { return *m_ui; }
    // Tells what keeps a name out of the catalogue, or gives an empty text.
    using TNameCheck = std::function<QString(const QString &)>;
    // Shows the dialog with `names` to choose from and `current` in the box. The name saved, without
    // the blanks around it; an empty text when the user cancelled.
    QString Execute(const QStringList &names, const QString &current, TNameCheck check);

    // Save: a name that can be stored closes the dialog; otherwise the user is told why, and stays.
    void Button01Click();
    void Button02Click();

private:
    std::unique_ptr<Ui::TLendForm> m_ui;
    TNameCheck m_check;
};
