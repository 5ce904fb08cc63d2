#include "AddEditForm.h"

#include "Application.h"
#include "CatalogueTransfer.h"
#include "Codec.h"
#include "DBEdit.h"
#include "DataSet.h"
#include "DataSource.h"
#include "Dialogs.h"
#include "FormSupport.h"
#include "Lending.h"
#include "ui_AddEditForm.h"

#include <QToolTip>

TAddEditForm *AddEditForm = nullptr;

TAddEditForm::TAddEditForm(QWidget *owner, TDataSource *dataSource)
    : QDialog(owner), m_ui(std::make_unique<Ui::TAddEditForm>()), m_source(dataSource)
{
    {
        FormLoading loading;
        m_ui->setupUi(this);
    }
    FormLoading::Finish(this);
    setFont(LayoutFont("MS Sans Serif", 11));
    setFixedSize(421, 388);
    move(212, 102);
    m_ui->ComboBox1->setCurrentIndex(-1);
    if (dataSource) {
        for (TDBEdit *edit : findChildren<TDBEdit *>())
            edit->setDataSource(dataSource);
    }
    connect(m_ui->Button01, &TNoxSkinBtn::OnClick, this, Guarded([this] { Button01Click(); }));
    connect(m_ui->Button02, &TNoxSkinBtn::OnClick, this, Guarded([this] { Button02Click(); }));
    connect(m_ui->Button03, &TNoxSkinBtn::OnClick, this, Guarded([this] { Button03Click(); }));
    connect(m_ui->Button04, &TNoxSkinBtn::OnClick, this, Guarded([this] { Button04Click(); }));
    connect(m_ui->Button05, &TNoxSkinBtn::OnClick, this, Guarded([this] { Button05Click(); }));
    for (TDBEdit *edit : findChildren<TDBEdit *>())
        connect(edit, &TDBEdit::Full, this, [this, edit](int width) { showFull(edit, width); });
    connect(m_ui->ComboBox1, &QComboBox::activated, this,
            [this](int index) { Guarded([this, index] { ComboBox1Change(index); })(); });
    FormCreate();
}

TAddEditForm::~TAddEditForm() = default;

void TAddEditForm::FormCreate()
{
    LoadSkins({m_ui->Button01, m_ui->Button02, m_ui->Button03, m_ui->Button04, m_ui->Button05});
}

void TAddEditForm::EditRecord(int mode)
{
    TDataSet *dataSet = m_source ? m_source->DataSet() : nullptr;
    if (!dataSet)
        return;
    if (mode != emAdd) {
        dataSet->Open();
        dataSet->Edit();
        const int index = m_ui->ComboBox1->findText(m_ui->DBEdit4->text(), Qt::MatchFixedString);
        m_ui->ComboBox1->setCurrentIndex(index);
    } else {
        dataSet->Open();
        dataSet->Insert();
    }
    // What the user types first goes into the title.
    m_ui->DBEdit1->setFocus();
    // A film the catalogue refuses to store keeps the dialog open with everything typed.
    for (;;) {
        if (exec() != QDialog::Accepted) {
            dataSet->Cancel();
            break;
        }
        try {
            dataSet->Post();
            break;
        } catch (const std::exception &error) {
            TApplication::ShowException(error);
        }
    }
    close();
}

void TAddEditForm::Button01Click()
{
    if (TextsCanBeStored() && confirmTwice())
        done(QDialog::Accepted);
}

bool TAddEditForm::TextsCanBeStored()
{
    for (TDBEdit *edit : {m_ui->DBEdit1, m_ui->DBEdit2, m_ui->DBEdit3, m_ui->editVideo, m_ui->editAudio,
                          m_ui->editSub, m_ui->DBEdit7}) {
        const QString refused = Codec::firstUnencodable(edit->text());
        if (refused.isEmpty() || !edit->Field())
            continue;
        // Everything typed stays; the character is shown where it stands.
        Dialogs().ShowMessage(QString::fromUtf8("Полето „%1“ не може да съдържа знака „%2“: каталогът пази "
                                                "само знаците на кодовата таблица Windows-1251 (кирилица и "
                                                "латиница без ударения). Поправете текста и запишете отново.")
                                  .arg(edit->DataField(), refused));
        edit->setFocus();
        edit->setSelection(int(edit->text().indexOf(refused)), int(refused.size()));
        return false;
    }
    for (TDBEdit *edit : {m_ui->DBEdit1, m_ui->DBEdit2, m_ui->DBEdit3, m_ui->editVideo, m_ui->editAudio,
                          m_ui->editSub, m_ui->DBEdit7}) {
        if (!edit->Field() || LineFormatKeeps(*edit->Field(), edit->text()))
            continue;
        Dialogs().ShowMessage(
            QString::fromUtf8("Полето „%1“ не може да съдържа кавичка, следвана от запетая, "
                              "когато в стойността има и запетая: каталогът не би я прочел "
                              "обратно такава. Махнете кавичката или запетаята и запишете "
                              "отново.")
                .arg(edit->DataField()));
        edit->setFocus();
        edit->setSelection(int(edit->text().indexOf(QStringLiteral("\","))), 2);
        return false;
    }
    return true;
}

void TAddEditForm::showFull(TDBEdit *edit, int width)
{
    // Under the box, where the typing stopped; the layout stays as it is.
    QToolTip::showText(
        edit->mapToGlobal(QPoint(0, edit->height())),
        QString::fromUtf8("Полето „%1“ побира най-много %2 знака.").arg(edit->DataField()).arg(width), edit);
}

bool TAddEditForm::confirmTwice()
{
    TDataSet *dataSet = m_source ? m_source->DataSet() : nullptr;
    if (!dataSet)
        return true;
    const int self = dataSet->State() == TDataSetState::dsEdit ? dataSet->ActiveRow() : -1;
    if (FindDuplicateFilm(*dataSet, m_ui->DBEdit1->text(), m_ui->DBEdit2->text(), self) < 0)
        return true;
    return Dialogs().MessageDlg(QString::fromUtf8("Такъв филм вече има в каталога. Да се запише ли все пак?"),
                                TMsgDlgType::mtConfirmation, MsgButtons::mbYes | MsgButtons::mbNo) == mrYes;
}

void TAddEditForm::Button02Click()
{
    done(QDialog::Rejected);
}

void TAddEditForm::choose(TDBEdit *edit)
{
    const QString file =
        Dialogs().OpenFileName(QString(), QString::fromUtf8("Всички файлове |*.*"), QString(), m_folder);
    if (file.isEmpty())
        return;
    // A path that the field cannot hold whole would lead nowhere once stored.
    const QString refused = Codec::firstUnencodable(file);
    if (!refused.isEmpty()) {
        Dialogs().ShowMessage(QString::fromUtf8("Пътят\n%1\nсъдържа знака „%2“, който полето „%3“ не може да "
                                                "съдържа (каталогът пази само знаците на кодовата таблица "
                                                "Windows-1251). Преименувайте файла или папката му и го "
                                                "изберете отново.")
                                  .arg(file, refused, edit->DataField()));
        return;
    }
    if (file.size() > edit->maxLength()) {
        Dialogs().ShowMessage(QString::fromUtf8("Пътят\n%1\nе дълъг %2 знака, а полето „%3“ побира най-много "
                                                "%4. Изберете файл с по-къс път.")
                                  .arg(file)
                                  .arg(file.size())
                                  .arg(edit->DataField())
                                  .arg(edit->maxLength()));
        return;
    }
    edit->setText(file);
}

void TAddEditForm::Button03Click()
{
    choose(m_ui->editVideo);
}

void TAddEditForm::Button04Click()
{
    choose(m_ui->editAudio);
}

void TAddEditForm::Button05Click()
{
    choose(m_ui->editSub);
}

void TAddEditForm::ComboBox1Change(int index)
{
    m_ui->DBEdit4->setText(m_ui->ComboBox1->itemText(index));
}
