#include "RestoreForm.h"

#include "Application.h"
#include "Backups.h"
#include "CatalogueSession.h"
#include "DBGrid.h"
#include "DataSource.h"
#include "Dialogs.h"
#include "SdfData.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {
QString fromUtf8(const char *text)
{
    return QString::fromUtf8(text);
}

// A copy shown in a window of its own: its dataset is read-only and has the copy's name, so
// nothing the window does can reach the catalogue.
void ShowCopy(const QString &copy, const QString &schemaFile, QWidget *parent)
{
    QDialog window(parent);
    window.setObjectName(QStringLiteral("BackupView"));
    window.setWindowTitle(fromUtf8("Копие %1 (само за четене)").arg(QFileInfo(copy).fileName()));
    auto *dataSet = new TSdfDataSet(&window);
    dataSet->LoadSchemaFromFile(schemaFile);
    dataSet->setReadOnly(true);
    dataSet->setFileName(copy);
    dataSet->Open();
    auto *source = new TDataSource(&window);
    source->setDataSet(dataSet);
    auto *grid = new TDBGrid(&window);
    grid->setObjectName(QStringLiteral("BackupGrid"));
    for (const char *name : {"Заглавие", "Етикет", "Формат", "Наличен", "Даден"})
        grid->Columns().push_back(
            {fromUtf8(name), fromUtf8(name), 120, Qt::AlignLeft | Qt::AlignVCenter, false});
    grid->setDataSource(source);
    auto *layout = new QVBoxLayout(&window);
    layout->addWidget(grid);
    window.resize(640, 400);
    window.exec();
    source->setDataSet(nullptr);
}
} // namespace

TRestoreForm::TRestoreForm(CatalogueSession &session, const QString &backupsFolder, const QString &schemaFile,
                           QWidget *parent)
    : QDialog(parent), m_session(session), m_folder(backupsFolder), m_schemaFile(schemaFile),
      m_list(new QTreeWidget(this)), m_view(new QPushButton(fromUtf8("Отвори за преглед"), this)),
      m_restore(new QPushButton(fromUtf8("Възстанови"), this))
{
    setObjectName(QStringLiteral("RestoreForm"));
    setWindowTitle(fromUtf8("Възстанови от копие"));
    m_list->setObjectName(QStringLiteral("BackupList"));
    m_list->setHeaderLabels({fromUtf8("Дата"), fromUtf8("Филми")});
    m_list->setRootIsDecorated(false);
    m_list->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_view->setObjectName(QStringLiteral("ViewButton"));
    m_restore->setObjectName(QStringLiteral("RestoreButton"));
    m_restore->setEnabled(!m_session.ReadOnly());
    auto *close = new QPushButton(fromUtf8("Затвори"), this);
    close->setObjectName(QStringLiteral("CloseButton"));
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_view);
    buttons->addWidget(m_restore);
    buttons->addStretch();
    buttons->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    layout->addLayout(buttons);
    resize(420, 320);
    connect(m_view, &QPushButton::clicked, this, Guarded([this] { ViewClick(); }));
    connect(m_restore, &QPushButton::clicked, this, Guarded([this] { RestoreClick(); }));
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    Fill();
}

void TRestoreForm::Fill()
{
    m_list->clear();
    for (const CatalogueBackup &copy : ListBackups(m_folder)) {
        auto *item = new QTreeWidgetItem(m_list, {copy.taken.toString(QStringLiteral("dd.MM.yyyy HH:mm:ss")),
                                                  QString::number(copy.films)});
        item->setData(0, Qt::UserRole, copy.fileName);
        item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
    }
    if (m_list->topLevelItemCount() > 0)
        m_list->setCurrentItem(m_list->topLevelItem(0));
    m_view->setEnabled(m_list->topLevelItemCount() > 0);
    m_restore->setEnabled(!m_session.ReadOnly() && m_list->topLevelItemCount() > 0);
}

QString TRestoreForm::SelectedCopy() const
{
    const QTreeWidgetItem *item = m_list->currentItem();
    return item ? item->data(0, Qt::UserRole).toString() : QString();
}

void TRestoreForm::ViewClick()
{
    if (const QString copy = SelectedCopy(); !copy.isEmpty())
        ShowCopy(copy, m_schemaFile, this);
}

void TRestoreForm::RestoreClick()
{
    const QString copy = SelectedCopy();
    if (copy.isEmpty() || m_session.RefuseWhenReadOnly())
        return;
    const QString yes = fromUtf8("Да");
    const QString no = fromUtf8("Не");
    const QString answer = Dialogs().Ask(
        fromUtf8("Каталогът да се замени ли с копието от %1?\n\n"
                 "Промените от това пускане се записват, а каталогът, какъвто е сега, се запазва като копие.")
            .arg(m_list->currentItem()->text(0)),
        TMsgDlgType::mtConfirmation, {yes, no}, no);
    if (answer != yes)
        return;
    m_restored = true;
    m_session.RestoreCopy(copy);
    Fill();
}
