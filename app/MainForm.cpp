#include "MainForm.h"

#include "AboutForm.h"
#include "AddEditForm.h"
#include "Application.h"
#include "Backups.h"
#include "BarMenus.h"
#include "CatalogueFields.h"
#include "CatalogueSession.h"
#include "CatalogueTransfer.h"
#include "Codec.h"
#include "Colors.h"
#include "ConfigForm.h"
#include "DataSource.h"
#include "Dialogs.h"
#include "DiscScanForm.h"
#include "FindBar.h"
#include "FormSupport.h"
#include "LendForm.h"
#include "Lending.h"
#include "MainMenus.h"
#include "PlayerLaunch.h"
#include "PlayerSettings.h"
#include "RestoreForm.h"
#include "SdfData.h"
#include "VirtualKeys.h"
#include "ui_MainForm.h"

#include <QAction>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QStatusBar>

TForm1 *Form1 = nullptr;

namespace {
// The control panel's inner and outer bevel, a pixel each.
constexpr int kPanelBevels = 2;
// The space between two of the control panel's buttons.
constexpr int kButtonGap = 7;
QString fromUtf8(const char *text)
{
    return QString::fromUtf8(text);
}
} // namespace

TForm1::TForm1(QWidget *parent)
    : QMainWindow(parent), m_ui(std::make_unique<Ui::TForm1>()), m_session(new CatalogueSession(this)),
      m_dataSet(m_session->DataSet()), m_dataSource(new TDataSource(this))
{
    m_dataSource->setObjectName(QStringLiteral("DataSource"));
    {
        FormLoading loading;
        m_ui->setupUi(this);
        BuildMainMenu();
    }
    FormLoading::Finish(this);
    setFont(LayoutFont("MS Sans Serif", 11));
    move(192, 114);

    // What the layout cannot say: the data bindings, the grid's columns, the status bar's panel.
    m_dataSource->setDataSet(m_dataSet);
    TDBGrid *grid = m_ui->DBGrid1;
    auto &columns = grid->Columns();
    for (const char *name : {"Заглавие", "Етикет", "Формат", "Наличен"})
        columns.push_back(
            {QString::fromUtf8(name), QString::fromUtf8(name), 64, Qt::AlignLeft | Qt::AlignVCenter, false});
    TColumn &atHome = columns.back();
    atHome.Width = 50;
    atHome.Alignment = Qt::AlignCenter;
    atHome.Bold = true;
    grid->horizontalHeader()->setFont(LayoutFont("MS Sans Serif", 11));
    // The column widths follow the window's width down to a single pixel.
    grid->horizontalHeader()->setMinimumSectionSize(0);
    grid->setDataSource(m_dataSource);
    auto *panel = new QLabel(m_ui->StatusBar1);
    panel->setObjectName(QStringLiteral("StatusPanel0"));
    panel->setFixedWidth(150);
    m_ui->StatusBar1->addWidget(panel);
    m_ui->StatusBar1->setSizeGripEnabled(true);
    m_ui->ControlPanel->installEventFilter(this);
    // No narrower than the three buttons beside the player list: the window's smallest size.
    m_ui->ControlPanel->setMinimumWidth(m_ui->Button03->geometry().right() + 1 + kButtonGap +
                                        m_ui->Panel1->width() + kPanelBevels);
    m_ui->PlayerBox->setCurrentIndex(-1);
    BuildGridMenu();

    connect(m_ui->Button01, &TNoxSkinBtn::OnClick, this, Guarded([this] { Button1Click(); }));
    connect(m_ui->Button02, &TNoxSkinBtn::OnClick, this, Guarded([this] { Button2Click(); }));
    connect(m_ui->Button03, &TNoxSkinBtn::OnClick, this, Guarded([this] { Button03Click(); }));
    connect(m_ui->Button04, &TNoxSkinBtn::OnClick, this, Guarded([this] { Button04Click(); }));
    connect(grid, &TDBGrid::KeyDown, this,
            [this](int key, Qt::KeyboardModifiers) { Guarded([this, key] { DBGrid1KeyDown(key); })(); });
    setTabOrder(grid, m_ui->PlayerBox);

    connect(m_session, &CatalogueSession::closeRequested, this, [this] { close(); });
    connect(m_session, &CatalogueSession::historyChanged, this, [this] { UpdateHistoryItems(); });

    try {
        FormCreate();
    } catch (const std::exception &error) {
        TApplication::ShowException(error);
    }
    BuildFindBar();
    FormResize();
}

void TForm1::BuildFindBar()
{
    // Between the grid and the buttons; hidden, it takes no room, so the window looks as ever.
    m_findBar = new TFindBar(m_ui->DBGrid1, m_ui->ClientArea, m_ui->ClientArea);
    m_ui->ClientLayout->insertWidget(1, m_findBar);
    // Finding looks in the title, the disc label, the format and the name of whom a film is lent to.
    QStringList names;
    for (int position : {cfTitle, cfLabel, cfFormat, cfLentTo}) {
        if (m_dataSet->Active() && position < m_dataSet->FieldCount())
            names << Codec::toQString(m_dataSet->Fields(position)->FieldName());
    }
    m_ui->DBGrid1->gridModel()->setFindFields(names);
}

void TForm1::FindClick()
{
    m_findBar->Open();
}

bool TForm1::NoFilmShown() const
{
    // The find filter may leave the grid empty while the catalogue still has a current film: the
    // commands that act on the current film then leave it alone, as the user cannot see it.
    return m_dataSet->Active() && m_dataSet->RowCount() > 0 && m_ui->DBGrid1->model()->rowCount() == 0;
}

TForm1::~TForm1()
{
    // The dataset closes (and saves) before the controls that show it go away.
    m_dataSource->setDataSet(nullptr);
    delete m_session;
}

void TForm1::FormCreate()
{
    try {
        m_session->Open(ProgramDirectory());
    } catch (const EAbort &) {
        m_quitRequested = m_session->QuitRequested();
        throw;
    }
    ShowReadOnly();
    UpdateHistoryItems();
    for (int position : {cfVideo, cfAudio, cfSubtitles, cfLentTo})
        m_dataSet->Fields(position)->setVisible(false);
    static_cast<QLabel *>(m_ui->StatusBar1->findChild<QLabel *>(QStringLiteral("StatusPanel0")))
        ->setText(m_ui->VersionLabel->Caption());
    LoadSkins();
    m_ui->PlayerBox->setCurrentIndex(0);
}

bool TForm1::CatalogueReadOnly() const
{
    return m_session->ReadOnly();
}

void TForm1::ShowReadOnly()
{
    if (!CatalogueReadOnly())
        return;
    for (TNoxSkinBtn *button : {m_ui->Button01, m_ui->Button02, m_ui->Button03})
        button->setEnabled(false);
    for (const char *name : {"N6", "N7", "N8", "N17", "N19", "N20", "N23", "GridAdd", "GridEdit",
                             "GridDelete", "GridLend", "GridReturn", "GridAddFromDisc"}) {
        if (auto *item = findChild<TMenuItem *>(QString::fromLatin1(name)))
            item->setEnabled(false);
    }
    auto *panel = new QLabel(fromUtf8("Само за четене"), m_ui->StatusBar1);
    panel->setObjectName(QStringLiteral("StatusPanel1"));
    m_ui->StatusBar1->addWidget(panel);
}

void TForm1::LoadSkins()
{
    ::LoadSkins({m_ui->Button01, m_ui->Button02, m_ui->Button03, m_ui->Button04});
}

void TForm1::BuildMainMenu()
{
    m_mainMenu = ::BuildMainMenu(*this);
}

void TForm1::BuildGridMenu()
{
    m_gridMenu = ::BuildGridMenu(*this);
    m_ui->DBGrid1->installEventFilter(this);
    m_ui->DBGrid1->viewport()->installEventFilter(this);
    m_ui->DBGrid1->horizontalHeader()->viewport()->installEventFilter(this);
    m_ui->DBGrid1->verticalHeader()->viewport()->installEventFilter(this);
    connect(m_ui->DBGrid1, &TDBGrid::KeyDown, this, [this](int key, Qt::KeyboardModifiers modifiers) {
        constexpr int VK_F10 = 121;
        if (key == VK_F10 && modifiers == Qt::ShiftModifier)
            Guarded([this] { DBGrid1ContextPopup(QPoint(), false); })();
    });
}

void TForm1::DBGrid1ContextPopup(const QPoint &viewportPos, bool byMouse)
{
    TDBGrid *grid = m_ui->DBGrid1;
    QPoint at = viewportPos;
    if (byMouse) {
        const int row = grid->rowAt(viewportPos.y());
        if (row >= 0)
            grid->setCurrentIndex(grid->model()->index(row, std::max(grid->currentIndex().column(), 0)));
    } else {
        const QRect cell = grid->visualRect(grid->currentIndex());
        at = cell.isValid() ? QPoint(cell.left() + cell.height(), cell.bottom()) : QPoint(0, 0);
    }
    m_gridMenu->Popup(grid->viewport()->mapToGlobal(at));
}

QAction *TForm1::MenuItem(const QString &name) const
{
    return findChild<QAction *>(name);
}

void TForm1::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    FormResize();
}

void TForm1::FormResize()
{
    const int w = frameGeometry().width();
    const int h = w / 2;
    const int q = h / 2;
    TDBGrid *grid = m_ui->DBGrid1;
    if (grid->Columns().size() < 4)
        return;
    grid->setColumnWidthOf(0, h);
    grid->setColumnWidthOf(1, q - 60);
    grid->setColumnWidthOf(2, q - 35);
}

void TForm1::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    FitFrame();
}

void TForm1::moveEvent(QMoveEvent *event)
{
    QMainWindow::moveEvent(event);
    FitFrame();
}

void TForm1::FitFrame()
{
    // The layout's size is the outer frame's. The window system tells the frame only once the
    // window is shown; the client area is then made that much smaller, once.
    if (m_frameFitted || !isVisible())
        return;
    const QSize frame = frameGeometry().size() - geometry().size();
    if (frame.isEmpty())
        return;
    m_frameFitted = true;
    resize(QSize(544, 375) - frame);
}

bool TForm1::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::ContextMenu &&
        (watched == m_ui->DBGrid1 || watched == m_ui->DBGrid1->viewport())) {
        const auto *menuEvent = static_cast<QContextMenuEvent *>(event);
        const bool byMouse = menuEvent->reason() == QContextMenuEvent::Mouse;
        DBGrid1ContextPopup(m_ui->DBGrid1->viewport()->mapFromGlobal(menuEvent->globalPos()), byMouse);
        return true;
    }
    // A double click anywhere in the grid starts the film: below the last row, on the titles and on
    // the indicator column too. The titles do nothing else with it, so a column keeps the width the
    // window gives it.
    if (event->type() == QEvent::MouseButtonDblClick &&
        static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        TDBGrid *grid = m_ui->DBGrid1;
        if (watched == grid->viewport())
            Guarded([this] { Button04Click(); })();
        if (watched == grid->horizontalHeader()->viewport() ||
            watched == grid->verticalHeader()->viewport()) {
            Guarded([this] { Button04Click(); })();
            return true;
        }
    }
    // Panel1 is aligned to the right of the control panel, inside its two bevels.
    if (watched == m_ui->ControlPanel && event->type() == QEvent::Resize) {
        const int inset = kPanelBevels;
        m_ui->Panel1->setGeometry(m_ui->ControlPanel->width() - inset - 238, inset, 238,
                                  m_ui->ControlPanel->height() - 2 * inset);
    }
    if (watched == m_ui->ControlPanel && event->type() == QEvent::Paint)
        PaintPanelBevels(m_ui->ControlPanel);
    return QMainWindow::eventFilter(watched, event);
}

void TForm1::DBGrid1KeyDown(int key)
{
    if (key == VK::Insert)
        Button1Click();
    if (key == VK::F9)
        Button2Click();
    if (key == VK::Delete)
        Button03Click();
    if (key == VK::Return)
        Button04Click();
}

void TForm1::runEditDialog(int mode)
{
    // A fresh dialog for every command, destroyed also when an error passes.
    std::unique_ptr<TAddEditForm> dialog(new TAddEditForm(this, m_dataSource));
    dialog->EditRecord(mode);
}

void TForm1::Button1Click()
{
    if (m_session->RefuseWhenReadOnly())
        return;
    runEditDialog(TAddEditForm::emAdd);
}

void TForm1::Button2Click()
{
    if (NoFilmShown())
        return;
    if (m_session->RefuseWhenReadOnly())
        return;
    runEditDialog(TAddEditForm::emEdit);
}

void TForm1::Button03Click()
{
    if (NoFilmShown())
        return;
    if (m_session->RefuseWhenReadOnly())
        return;
    const int answer =
        Dialogs().MessageDlg(QString::fromUtf8("Сигурни ли сте, че желаете да изтриете този запис?"),
                             TMsgDlgType::mtConfirmation, MsgButtons::mbOKCancel);
    if (answer == mrOk)
        m_dataSet->Delete();
}

void TForm1::Button04Click()
{
    if (NoFilmShown())
        return;
    StartPlayer(*m_dataSet, m_ui->PlayerBox->currentIndex());
}

void TForm1::N2Click()
{
    std::unique_ptr<TConfigForm> dialog(new TConfigForm(this));
    dialog->Execute();
}

void TForm1::N4Click()
{
    close();
}

void TForm1::N14Click()
{
    if (AboutForm)
        AboutForm->exec();
}

std::optional<std::vector<int>> TForm1::ExportPositions() const
{
    return ExportedPositions(*m_ui->DBGrid1->gridModel());
}

void TForm1::N16Click()
{
    if (m_dataSet->Active())
        ExportWithDialogs(*m_dataSet, ExportPositions());
}

void TForm1::RestoreClick()
{
    TRestoreForm form(*m_session, BackupsFolder(), ProgramDirectory() + QStringLiteral("format.txt"), this);
    form.exec();
    if (form.Restored() && m_dataSet->Active()) {
        // The catalogue opened again with new fields.
        for (int position : {cfVideo, cfAudio, cfSubtitles, cfLentTo})
            m_dataSet->Fields(position)->setVisible(false);
    }
}

void TForm1::N17Click()
{
    if (m_session->RefuseWhenReadOnly() || !m_dataSet->Active())
        return;
    ImportPlan plan;
    if (!AskImport(*m_dataSet, m_importFolder, plan))
        return;
    ChangeStep step(*m_session);
    ApplyImport(*m_dataSet, plan);
}

bool TForm1::CanMarkCurrentFilm()
{
    if (NoFilmShown())
        return false;
    if (m_session->RefuseWhenReadOnly())
        return false;
    return m_dataSet->Active() && m_dataSet->ActiveRow() >= 0;
}

void TForm1::N19Click()
{
    if (!CanMarkCurrentFilm())
        return;
    TField *lentTo = m_dataSet->Fields(cfLentTo);
    QString name;
    {
        std::unique_ptr<TLendForm> dialog(new TLendForm(this));
        name = dialog->Execute(BorrowerNames(*m_dataSet, m_recentBorrowers), lentTo->Text(),
                               [lentTo](const QString &text) { return StorableProblem(*lentTo, text); });
    }
    std::vector<int> others;
    if (name.isEmpty() || !AskOtherFilmsOnDisc(*m_dataSet, name, others))
        return;
    {
        ChangeStep step(*m_session);
        MarkFilms(*m_dataSet, others, name);
    }
    m_recentBorrowers.removeIf(
        [&name](const QString &known) { return known.compare(name, Qt::CaseInsensitive) == 0; });
    m_recentBorrowers.prepend(name);
}

void TForm1::N20Click()
{
    if (!CanMarkCurrentFilm())
        return;
    std::vector<int> others;
    if (!AskOtherFilmsOnDisc(*m_dataSet, QString(), others))
        return;
    ChangeStep step(*m_session);
    MarkFilms(*m_dataSet, others, QString());
}

void TForm1::N23Click()
{
    if (m_session->RefuseWhenReadOnly())
        return;
    // The films a scan adds are taken back as one.
    ChangeStep step(*m_session);
    TDiscScanForm(this, *m_dataSet).Execute();
}

QString TForm1::ReadPlayerPath(const QString &valueName)
{
    return PlayerSettings::ReadPath(valueName);
}

void TForm1::closeEvent(QCloseEvent *event)
{
    event->setAccepted(m_session->Quit());
}

void TForm1::N21Click()
{
    m_session->Undo();
}

void TForm1::N22Click()
{
    m_session->Redo();
}

void TForm1::UpdateHistoryItems()
{
    MenuItem(QStringLiteral("N21"))->setEnabled(m_session->CanUndo());
    MenuItem(QStringLiteral("N22"))->setEnabled(m_session->CanRedo());
}
