#include "AboutForm.h"

#include "VelVersionLabel.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TAboutForm *AboutForm = nullptr;

TAboutForm::TAboutForm(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("AboutForm"));
    setWindowTitle(QString::fromUtf8("За програмата"));
    auto *layout = new QVBoxLayout(this);
    auto *name = new QLabel(QStringLiteral("Cinaxo"), this);
    QFont bold = name->font();
    bold.setBold(true);
    bold.setPixelSize(19);
    name->setFont(bold);
    layout->addWidget(name);
    auto *version = new TVelVersionLabel(this);
    version->setObjectName(QStringLiteral("VersionLabel"));
    version->setInfoPrefix(QString::fromUtf8("Версия:"));
    layout->addWidget(version);
    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("OKButton"));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(ok);
}
