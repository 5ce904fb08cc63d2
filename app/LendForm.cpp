#include "LendForm.h"

#include "Application.h"
#include "Dialogs.h"
#include "FormSupport.h"
#include "ui_LendForm.h"

#include <QLineEdit>

TLendForm::TLendForm(QWidget *owner) : QDialog(owner), m_ui(std::make_unique<Ui::TLendForm>())
{
    {
        FormLoading loading;
        m_ui->setupUi(this);
    }
    FormLoading::Finish(this);
    setFont(LayoutFont("MS Sans Serif", 11));
    setFixedSize(297, 97);
    LoadSkins({m_ui->Button01, m_ui->Button02});
    connect(m_ui->Button01, &TNoxSkinBtn::OnClick, this, Guarded([this] { Button01Click(); }));
    connect(m_ui->Button02, &TNoxSkinBtn::OnClick, this, Guarded([this] { Button02Click(); }));
    // Enter in the box saves, as the skin buttons take no focus.
    connect(m_ui->NameBox->lineEdit(), &QLineEdit::returnPressed, this, Guarded([this] { Button01Click(); }));
}

TLendForm::~TLendForm() = default;

QString TLendForm::Execute(const QStringList &names, const QString &current, TNameCheck check)
{
    m_check = std::move(check);
    m_ui->NameBox->clear();
    m_ui->NameBox->addItems(names);
    m_ui->NameBox->setEditText(current);
    m_ui->NameBox->lineEdit()->selectAll();
    m_ui->NameBox->setFocus();
    if (exec() != QDialog::Accepted)
        return QString();
    return m_ui->NameBox->currentText().trimmed();
}

void TLendForm::Button01Click()
{
    const QString name = m_ui->NameBox->currentText().trimmed();
    QString problem;
    if (name.isEmpty())
        problem = QString::fromUtf8("Напишете името на човека, на когото давате диска.");
    else if (m_check)
        problem = m_check(name);
    if (!problem.isEmpty()) {
        Dialogs().ShowMessage(problem);
        m_ui->NameBox->setFocus();
        return;
    }
    done(QDialog::Accepted);
}

void TLendForm::Button02Click()
{
    done(QDialog::Rejected);
}
