#include "MainForm.h"

#include "AboutForm.h"
#include "AddEditForm.h"
#include "Application.h"
#include "BarMenus.h"
#include "CatalogueFields.h"
#include "CatalogueTransfer.h"
#include "Codec.h"
#include "Colors.h"
#include "ConfigForm.h"
#include "DataSource.h"
#include "Dialogs.h"
#include "DiscScanForm.h"
#include "Files.h"
#include "FindBar.h"
#include "FormSupport.h"
#include "LendForm.h"
#include "Lending.h"
#include "PlayerLaunch.h"
#include "PlayerSettings.h"
#include "SdfData.h"
#include "Signals.h"
#include "VirtualKeys.h"
#include "ui_MainForm.h"

#include <QAction>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLockFile>
#include <QMouseEvent>
#include <QPainter>
#include <QSaveFile>
#include <QSessionManager>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

TForm1 *Form1 = nullptr;

namespace {
// The control panel's inner and outer bevel, a pixel each.
constexpr int kPanelBevels = 2;
// The main window whose catalogue is open, for the save when the process ends without it (the X
// server went away and Qt ends the process).
TForm1 *g_liveForm = nullptr;

void saveAtExit()
{
    if (g_liveForm)
        g_liveForm->SaveWithoutWindows();
}

QString fromUtf8(const char *text)
{
    return QString::fromUtf8(text);
}
} // namespace

TForm1::TForm1(QWidget *parent)
    : QMainWindow(parent), m_ui(std::make_unique<Ui::TForm1>()), m_dataSet(new TSdfDataSet(this)),
      m_dataSource(new TDataSource(this))
{
    m_dataSet->setObjectName(QStringLiteral("DataSet"));
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
    m_ui->PlayerBox->setCurrentIndex(-1);
    BuildGridMenu();

    connect(m_ui->Button01, &TNoxSkinBtn::OnClick, this, Guarded([this] { Button1Click(); }));
    connect(m_ui->Button02, &TNoxSkinBtn::OnClick, this, Guarded([this] { Button2Click(); }));
    connect(m_ui->Button03, &TNoxSkinBtn::OnClick, this, Guarded([this] { Button03Click(); }));
    connect(m_ui->Button04, &TNoxSkinBtn::OnClick, this, Guarded([this] { Button04Click(); }));
    connect(grid, &TDBGrid::KeyDown, this,
            [this](int key, Qt::KeyboardModifiers) { Guarded([this, key] { DBGrid1KeyDown(key); })(); });
    setTabOrder(grid, m_ui->PlayerBox);

    // Asked to stop by a signal or by the session: the normal exit path, which saves.
    connect(&TerminationSignals::instance(), &TerminationSignals::received, this,
            [this] { OnTerminationSignal(); });
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager &manager) {
        const bool wouldSave = m_dataSet->Active() && m_dataSet->Changed() && !m_dataSet->ReadOnly();
        CommitData(wouldSave && manager.allowsInteraction());
        manager.release();
    });
    static const bool atExitRegistered = std::atexit(saveAtExit) == 0;
    Q_UNUSED(atExitRegistered);
    g_liveForm = this;

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
    if (g_liveForm == this)
        g_liveForm = nullptr;
    // The dataset closes (and saves) before the controls that show it go away.
    m_dataSource->setDataSet(nullptr);
    delete m_dataSet;
}

void TForm1::FormCreate()
{
    const QString dir = ProgramDirectory();
    m_dataSet->LoadSchemaFromFile(dir + QStringLiteral("format.txt"));
    const QString db = dir + QStringLiteral("db.txt");
    m_dataSet->setFileName(db);
    bool readOnly = false;
    if (!LockCatalogue(db, readOnly)) {
        m_quitRequested = true;
        throw EAbort();
    }
    m_readOnlyCatalogue = readOnly;
    m_dataSet->setReadOnly(readOnly);
    m_dataSet->setJournalEnabled(!readOnly);
    if (!readOnly)
        OfferEmptyCatalogue(db);
    m_dataSet->Open();
    if (const int line = m_dataSet->NulLine()) {
        m_readOnlyCatalogue = true;
        // The rest of the file was not read: saving would lose it.
        m_dataSet->Close();
        m_dataSet->setReadOnly(true);
        m_dataSet->setJournalEnabled(false);
        m_dataSet->Open();
        Dialogs().MessageDlg(fromUtf8("Файлът db.txt съдържа нулев байт на ред %1 и е прочетен само дотам.\n"
                                      "Каталогът е отворен само за четене, за да не се загубят "
                                      "записите след този ред.")
                                 .arg(line),
                             TMsgDlgType::mtWarning, MsgButtons::mbOK);
    }
    OfferRecovery();
    ShowReadOnly();
    for (int position : {cfVideo, cfAudio, cfSubtitles, cfLentTo})
        m_dataSet->Fields(position)->setVisible(false);
    static_cast<QLabel *>(m_ui->StatusBar1->findChild<QLabel *>(QStringLiteral("StatusPanel0")))
        ->setText(m_ui->VersionLabel->Caption());
    LoadSkins();
    m_ui->PlayerBox->setCurrentIndex(0);
}

void TForm1::OfferEmptyCatalogue(const QString &fileName)
{
    if (QFileInfo::exists(fileName))
        return;
    const QString yes = QString::fromUtf8("Да");
    const QString no = QString::fromUtf8("Не");
    const QString answer = Dialogs().Ask(
        QString::fromUtf8("Каталогът db.txt не е намерен. Да се създаде ли нов, празен каталог?"),
        TMsgDlgType::mtConfirmation, {yes, no}, no);
    if (answer != yes)
        return;
    // An empty file is a catalogue without films; when it cannot be made, opening says so.
    QFile file(fileName);
    if (file.open(QIODevice::NewOnly))
        file.close();
}

bool TForm1::LockCatalogue(const QString &fileName, bool &readOnly)
{
    // Beside the catalogue, so that every window on it sees the lock; a lock left by a process that
    // is gone is taken over.
    const QString dataFolder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    const QString lockName = Files::sideFile(fileName, QStringLiteral(".lock"), dataFolder);
    QDir().mkpath(QFileInfo(lockName).absolutePath());
    auto lock = std::make_unique<QLockFile>(lockName);
    lock->setStaleLockTime(0);
    if (lock->tryLock(0)) {
        m_lock = std::move(lock);
        return true;
    }
    // A lock that cannot be made at all (a read-only folder) does not keep the catalogue from the
    // user; the save says what it can do there.
    if (lock->error() != QLockFile::LockFailedError)
        return true;
    const QString readOnlyButton = fromUtf8("Само за четене");
    const QString quit = fromUtf8("Изход");
    const QString answer =
        Dialogs().Ask(fromUtf8("Каталогът вече е отворен от друг прозорец на Cinaxo.\n\n"
                               "„Само за четене“ го отваря, без да може да се променя; „Изход“ "
                               "затваря програмата."),
                      TMsgDlgType::mtWarning, {readOnlyButton, quit}, readOnlyButton);
    if (answer != readOnlyButton)
        return false;
    readOnly = true;
    return true;
}

void TForm1::OfferRecovery()
{
    if (!m_dataSet->ForeignJournal().isEmpty()) {
        Dialogs().MessageDlg(fromUtf8("Намерени са незаписани промени от предишното пускане, но db.txt е "
                                      "променен след това и те не могат да се приложат.\n"
                                      "Запазени са във файла %1.")
                                 .arg(QDir::toNativeSeparators(m_dataSet->ForeignJournal())),
                             TMsgDlgType::mtWarning, MsgButtons::mbOK);
    }
    const int pending = m_dataSet->PendingJournalChanges();
    if (pending == 0)
        return;
    const QString yes = fromUtf8("Да");
    const QString no = fromUtf8("Не");
    const QString answer =
        Dialogs().Ask(fromUtf8("Намерени са незаписани промени от предишното пускане. Да се възстановят ли?"),
                      TMsgDlgType::mtConfirmation, {yes, no}, QString());
    // Only the user's No gives them up; a box closed otherwise leaves them for the next start (or
    // aside, at the first new change).
    if (answer == no)
        m_dataSet->DiscardJournal();
    if (answer != yes)
        return;
    const int applied = m_dataSet->ApplyJournal();
    if (applied < pending) {
        Dialogs().MessageDlg(
            fromUtf8("Възстановени са %1 от %2 промени; останалите не пасват на каталога и са "
                     "запазени във файла %3.")
                .arg(applied)
                .arg(pending)
                .arg(QDir::toNativeSeparators(m_dataSet->ForeignJournal())),
            TMsgDlgType::mtWarning, MsgButtons::mbOK);
    }
}

bool TForm1::CatalogueReadOnly() const
{
    return m_readOnlyCatalogue && m_dataSet->Active();
}

void TForm1::ShowReadOnly()
{
    if (!CatalogueReadOnly())
        return;
    for (TNoxSkinBtn *button : {m_ui->Button01, m_ui->Button02, m_ui->Button03})
        button->setEnabled(false);
    for (const char *name : {"N6", "N7", "N8", "N17", "N19", "N20", "N21", "GridAdd", "GridEdit",
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

namespace {
struct MenuItemDef
{
    const char *name;
    const char *caption;
    void (TForm1::*handler)();
    QKeySequence shortCut = {};
};

TMenuItem *AddMenuItem(TForm1 *form, TMenuItem *parent, const MenuItemDef &def)
{
    auto *item = new TMenuItem(form);
    item->setObjectName(QString::fromLatin1(def.name));
    item->setCaption(QString::fromUtf8(def.caption));
    item->setShortCut(def.shortCut);
    if (def.handler)
        item->OnClick = Guarded([form, handler = def.handler] { (form->*handler)(); });
    parent->Add(item);
    return item;
}
} // namespace

void TForm1::BuildMainMenu()
{
    // The menu as the window's layout gives it; Loaded at the end of the layout hooks its items.
    m_mainMenu = new TLumBarMainMenu(this);
    m_mainMenu->setObjectName(QStringLiteral("MainMenu1"));
    if (FormLoading::Active())
        m_mainMenu->BeginLoading();
    m_mainMenu->Bar()->setVisible(false);
    TLumFont *caption = m_mainMenu->Bar()->BarCaption()->Font();
    caption->setName(QStringLiteral("Tahoma"));
    caption->setHeight(-19);
    caption->setColor(clWhite);
    caption->setBold(true);
    caption->setItalic(true);
    m_mainMenu->Separators()->setFade(true);
    m_mainMenu->Separators()->Font()->setName(QStringLiteral("MS Sans Serif"));
    m_mainMenu->Separators()->Font()->setHeight(-11);
    m_mainMenu->GetMenuFont()->setName(QStringLiteral("MS Sans Serif"));
    m_mainMenu->GetMenuFont()->setHeight(-11);
    m_mainMenu->SetMenuStyle(msWindowsXP);
    struct Menu
    {
        MenuItemDef title;
        std::vector<MenuItemDef> items;
    };
    const Menu menus[] = {
        {{"N1", "Файл", nullptr},
         {{"N2", "Програмни настройки", &TForm1::N2Click},
          {"N3", "-", nullptr},
          {"N16", "Експорт...", &TForm1::N16Click},
          {"N17", "Импорт...", &TForm1::N17Click},
          {"N15", "-", nullptr},
          {"N4", "Изход", &TForm1::N4Click}}},
        {{"N5", "Запис", nullptr},
         {{"N6", "Добави", &TForm1::Button1Click},
          {"N7", "Редакция", &TForm1::Button2Click},
          {"N8", "Изтрий", &TForm1::Button03Click},
          {"N9", "-", nullptr},
          {"N10", "Стартирай", &TForm1::Button04Click},
          {"N18", "-", nullptr},
          {"N19", "Даден на...", &TForm1::N19Click},
          {"N20", "Върнат", &TForm1::N20Click},
          {"N22", "-", nullptr},
          {"N21", "Добави от диск...", &TForm1::N21Click},
          {"NFindLine", "-", nullptr},
          {"NFind", "Търсене...", &TForm1::FindClick, QKeySequence(Qt::CTRL | Qt::Key_F)}}},
        {{"N11", "Помощ", nullptr},
         {{"N12", "Помощ", nullptr}, {"N13", "-", nullptr}, {"N14", "За програмата", &TForm1::N14Click}}},
    };
    for (const Menu &menu : menus) {
        TMenuItem *title = AddMenuItem(this, m_mainMenu->Items(), menu.title);
        for (const MenuItemDef &item : menu.items)
            AddMenuItem(this, title, item);
    }
    m_mainMenu->SetWindow(this);
}

void TForm1::BuildGridMenu()
{
    // The record commands at hand on a film in the grid.
    m_gridMenu = new TLumCustomBarPopupMenu(this);
    m_gridMenu->setObjectName(QStringLiteral("GridMenu"));
    m_gridMenu->SetMenuStyle(msWindowsXP);
    m_gridMenu->Separators()->setFade(true);
    m_gridMenu->Bar()->BarCaption()->setCaption(QStringLiteral("Cinaxo"));
    const MenuItemDef items[] = {
        {"GridAdd", "Добави", &TForm1::Button1Click, QKeySequence(Qt::Key_Insert)},
        {"GridEdit", "Редакция", &TForm1::Button2Click, QKeySequence(Qt::Key_F9)},
        {"GridDelete", "Изтрий", &TForm1::Button03Click, QKeySequence(Qt::Key_Delete)},
        {"GridLine", "-", nullptr},
        {"GridStart", "Стартирай", &TForm1::Button04Click, QKeySequence(Qt::Key_Return)},
        {"GridLine2", "-", nullptr},
        {"GridLend", "Даден на...", &TForm1::N19Click},
        {"GridReturn", "Върнат", &TForm1::N20Click},
        {"GridLine3", "-", nullptr},
        {"GridAddFromDisc", "Добави от диск...", &TForm1::N21Click},
    };
    for (const MenuItemDef &item : items)
        AddMenuItem(this, m_gridMenu->Items(), item);
    // Starting the film is what a double click does.
    m_gridMenu->Items()->Items(4)->setDefault(true);
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

void PaintPanelBevels(QWidget *panel)
{
    // The outer bevel lowered, the inner one raised, one pixel each; the bottom and right edges of a
    // ring are drawn last and take its top-right and bottom-left corners.
    QPainter painter(panel);
    const TColor rings[2][2] = {{clBtnShadow, clBtnHighlight}, {clBtnHighlight, clBtnShadow}};
    QRect r = panel->rect();
    for (const auto &ring : rings) {
        painter.setPen(toQColor(ring[0]));
        painter.drawLine(r.topLeft(), r.bottomLeft());
        painter.drawLine(r.topLeft(), r.topRight());
        painter.setPen(toQColor(ring[1]));
        painter.drawLine(r.topRight(), r.bottomRight());
        painter.drawLine(r.bottomLeft(), r.bottomRight());
        r.adjust(1, 1, -1, -1);
    }
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
    if (CatalogueReadOnly())
        return Dialogs().ShowMessage(fromUtf8("Каталогът е отворен само за четене."));
    runEditDialog(TAddEditForm::emAdd);
}

void TForm1::Button2Click()
{
    if (NoFilmShown())
        return;
    if (CatalogueReadOnly())
        return Dialogs().ShowMessage(fromUtf8("Каталогът е отворен само за четене."));
    runEditDialog(TAddEditForm::emEdit);
}

void TForm1::Button03Click()
{
    if (NoFilmShown())
        return;
    if (CatalogueReadOnly())
        return Dialogs().ShowMessage(fromUtf8("Каталогът е отворен само за четене."));
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
    return m_ui->DBGrid1->gridModel()->FilteredPositions();
}

void TForm1::N16Click()
{
    if (!m_dataSet->Active())
        return;
    const std::optional<std::vector<int>> shown = ExportPositions();
    // The export functions take no positions for the whole catalogue.
    if (shown && shown->empty())
        return Dialogs().ShowMessage(
            QString::fromUtf8("Търсенето не показва нито един филм: няма какво да се експортира."));
    const QString file = Dialogs().SaveFileName(
        QString::fromUtf8("Експорт"), QString::fromUtf8("CSV файлове (UTF-8)|*.csv|HTML таблица|*.html"),
        QStringLiteral("Cinaxo.csv"));
    if (file.isEmpty())
        return;
    const bool html = file.endsWith(QLatin1String(".html"), Qt::CaseInsensitive) ||
                      file.endsWith(QLatin1String(".htm"), Qt::CaseInsensitive);
    const std::vector<int> rows = shown.value_or(std::vector<int>());
    const std::string bytes = html ? ExportHtml(*m_dataSet, rows) : ExportCsv(*m_dataSet, rows);
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly) ||
        out.write(bytes.data(), qint64(bytes.size())) != qint64(bytes.size()) || !out.commit()) {
        Dialogs().ShowMessage(
            QString::fromUtf8("Файлът %1 не можа да бъде записан:\n%2").arg(file, out.errorString()));
    }
}

void TForm1::N17Click()
{
    if (CatalogueReadOnly())
        return Dialogs().ShowMessage(fromUtf8("Каталогът е отворен само за четене."));
    if (!m_dataSet->Active())
        return;
    const QString file = Dialogs().OpenFileName(
        QString::fromUtf8("Импорт"), QString::fromUtf8("CSV файлове (UTF-8)|*.csv|Всички файлове|*.*"),
        QString(), m_importFolder);
    if (file.isEmpty())
        return;
    QFile in(file);
    QByteArray bytes;
    if (in.open(QIODevice::ReadOnly))
        bytes = in.readAll();
    if (!in.isOpen() || in.error() != QFileDevice::NoError) {
        Dialogs().ShowMessage(
            QString::fromUtf8("Файлът %1 не може да бъде прочетен:\n%2").arg(file, in.errorString()));
        return;
    }
    const ImportPlan plan =
        PlanImport(*m_dataSet, std::string_view(bytes.constData(), std::size_t(bytes.size())));
    if (!plan.failure.isEmpty() || plan.films.empty()) {
        Dialogs().ShowMessage(plan.failure.isEmpty() ? ImportSummary(plan) : plan.failure);
        return;
    }
    const QString question = ImportSummary(plan) + QString::fromUtf8("\n\nДа се добавят ли?");
    if (Dialogs().MessageDlg(question, TMsgDlgType::mtConfirmation, MsgButtons::mbYes | MsgButtons::mbNo) ==
        mrYes)
        ApplyImport(*m_dataSet, plan);
}

bool TForm1::OtherFilmsOnDisc(const QString &name, std::vector<int> &others)
{
    others = OtherFilmsToMark(*m_dataSet, name);
    if (others.empty())
        return true;
    const QString question =
        others.size() == 1
            ? QString::fromUtf8("Дискът съдържа още 1 филм. Да се отбележи ли и той?")
            : QString::fromUtf8("Дискът съдържа още %1 филма. Да се отбележат ли и те?").arg(others.size());
    const int answer = Dialogs().MessageDlg(question, TMsgDlgType::mtConfirmation,
                                            MsgButtons::mbYes | MsgButtons::mbNo | MsgButtons::mbCancel);
    if (answer == mrNo)
        others.clear();
    return answer == mrYes || answer == mrNo;
}

bool TForm1::CanMarkCurrentFilm()
{
    if (NoFilmShown())
        return false;
    if (CatalogueReadOnly()) {
        Dialogs().ShowMessage(fromUtf8("Каталогът е отворен само за четене."));
        return false;
    }
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
    if (name.isEmpty() || !OtherFilmsOnDisc(name, others))
        return;
    MarkFilms(*m_dataSet, others, name);
    m_recentBorrowers.removeIf(
        [&name](const QString &known) { return known.compare(name, Qt::CaseInsensitive) == 0; });
    m_recentBorrowers.prepend(name);
}

void TForm1::N20Click()
{
    if (!CanMarkCurrentFilm())
        return;
    std::vector<int> others;
    if (OtherFilmsOnDisc(QString(), others))
        MarkFilms(*m_dataSet, others, QString());
}

void TForm1::N21Click()
{
    if (CatalogueReadOnly())
        return Dialogs().ShowMessage(fromUtf8("Каталогът е отворен само за четене."));
    TDiscScanForm(this, *m_dataSet).Execute();
}

QString TForm1::ReadPlayerPath(const QString &valueName)
{
    return PlayerSettings::ReadPath(valueName);
}

bool TForm1::ConfirmOverOtherChanges()
{
    if (!m_dataSet->Active() || !m_dataSet->Changed() || m_dataSet->ReadOnly() ||
        !m_dataSet->FileChangedOnDisk())
        return true;
    const QString over = fromUtf8("Запиши върху него");
    const QString elsewhere = fromUtf8("Запиши другаде...");
    const QString quit = fromUtf8("Изход без запис");
    const QString cancel = fromUtf8("Отказ");
    const QString text = fromUtf8("Файлът %1 е променен от друга програма, след като Cinaxo го прочете.\n\n"
                                  "„Запиши върху него“ записва каталога и промените на другата "
                                  "програма се губят; „Запиши другаде...“ записва каталога в друг "
                                  "файл; „Изход без запис“ затваря програмата и промените в Cinaxo "
                                  "се губят; „Отказ“ връща към програмата.")
                             .arg(QDir::toNativeSeparators(m_dataSet->FileName()));
    for (;;) {
        const QString answer =
            Dialogs().Ask(text, TMsgDlgType::mtWarning, {over, elsewhere, quit, cancel}, cancel);
        if (answer == over)
            return true;
        if (answer == quit) {
            m_dataSet->DiscardChanges();
            return true;
        }
        if (answer != elsewhere)
            return false;
        const QString file = Dialogs().SaveFileName(
            fromUtf8("Запиши каталога като"), fromUtf8("Текстови файлове|*.txt"), QStringLiteral("db.txt"));
        if (file.isEmpty())
            continue;
        try {
            m_dataSet->SaveUnderName(file);
            return true;
        } catch (const std::exception &error) {
            TApplication::ShowException(error);
        }
    }
}

bool TForm1::SaveBeforeQuit()
{
    if (!ConfirmOverOtherChanges())
        return false;
    for (;;) {
        try {
            m_dataSet->Close();
            return true;
        } catch (const std::exception &error) {
            const QString retry = fromUtf8("Опитай отново");
            const QString elsewhere = fromUtf8("Запиши другаде...");
            const QString quit = fromUtf8("Изход без запис");
            const QString cancel = fromUtf8("Отказ");
            QString text = fromUtf8("Каталогът не можа да бъде записан:\n%1\n\n"
                                    "Промените са запазени в програмата. „Запиши другаде...“ "
                                    "записва каталога в друг файл; „Изход без запис“ затваря "
                                    "програмата и промените се губят; „Отказ“ връща към "
                                    "програмата.")
                               .arg(QString::fromUtf8(error.what()));
            if (!m_dataSet->BackupCopy().isEmpty())
                text += fromUtf8("\n\nКопие на стария каталог: %1")
                            .arg(QDir::toNativeSeparators(m_dataSet->BackupCopy()));
            const QString answer =
                Dialogs().Ask(text, TMsgDlgType::mtError, {retry, elsewhere, quit, cancel}, cancel);
            if (answer == quit) {
                m_dataSet->DiscardChanges();
                m_dataSet->Close();
                return true;
            }
            if (answer == elsewhere) {
                const QString file =
                    Dialogs().SaveFileName(fromUtf8("Запиши каталога като"),
                                           fromUtf8("Текстови файлове|*.txt"), QStringLiteral("db.txt"));
                if (!file.isEmpty()) {
                    try {
                        m_dataSet->SaveUnderName(file);
                    } catch (const std::exception &saveError) {
                        TApplication::ShowException(saveError);
                    }
                }
            } else if (answer != retry) {
                return false;
            }
        }
    }
}

void TForm1::closeEvent(QCloseEvent *event)
{
    m_closing = true;
    const bool quit = SaveBeforeQuit();
    m_closing = false;
    if (quit) {
        m_lock.reset();
        event->accept();
    } else {
        event->ignore();
    }
}

void TForm1::OnTerminationSignal()
{
    if (m_closing)
        return;
    // A dialog that is open is cancelled first; the window closes once its loop has ended.
    if (QWidget *modal = QApplication::activeModalWidget(); modal && modal != this) {
        if (auto *dialog = qobject_cast<QDialog *>(modal))
            dialog->reject();
        else
            modal->close();
        QTimer::singleShot(20, this, [this] { OnTerminationSignal(); });
        return;
    }
    close();
}

void TForm1::CommitData(bool interactionAllowed)
{
    if (!m_dataSet->Active() || !m_dataSet->Changed() || m_dataSet->ReadOnly())
        return;
    if (!interactionAllowed)
        return SaveSilently(false);
    try {
        if (ConfirmOverOtherChanges() && m_dataSet->Changed())
            m_dataSet->SaveUnderName(m_dataSet->FileName());
    } catch (const std::exception &error) {
        TApplication::ShowException(error);
    }
}

void TForm1::SaveWithoutWindows()
{
    // Nothing may reach the windows any more.
    m_dataSet->blockSignals(true);
    SaveSilently(true);
    m_lock.reset();
}

void TForm1::SaveSilently(bool close)
{
    if (!m_dataSet->Active() || !m_dataSet->Changed() || m_dataSet->ReadOnly())
        return;
    const std::string catalogue = QDir::toNativeSeparators(m_dataSet->FileName()).toStdString();
    try {
        if (m_dataSet->FileChangedOnDisk()) {
            // Never written over another program's changes without the user's word.
            const QString folder = m_dataSet->BackupFolder();
            QDir().mkpath(folder);
            const QString copy = folder + QStringLiteral("/db-") +
                                 QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")) +
                                 QStringLiteral(".txt");
            m_dataSet->SaveUnderName(copy);
            std::fprintf(stderr, "Cinaxo: %s was changed by another program; the catalogue was saved to %s\n",
                         catalogue.c_str(), QDir::toNativeSeparators(copy).toStdString().c_str());
        }
        if (close)
            m_dataSet->Close();
        else if (m_dataSet->Changed())
            m_dataSet->SaveUnderName(m_dataSet->FileName());
    } catch (const std::exception &error) {
        std::fprintf(stderr, "Cinaxo: the catalogue %s could not be saved: %s\n", catalogue.c_str(),
                     error.what());
        if (!m_dataSet->BackupCopy().isEmpty())
            std::fprintf(stderr, "Cinaxo: a copy of the old catalogue is in %s\n",
                         QDir::toNativeSeparators(m_dataSet->BackupCopy()).toStdString().c_str());
        if (!m_dataSet->JournalFileName().isEmpty())
            std::fprintf(stderr, "Cinaxo: the changes are kept in %s and are offered at the next start\n",
                         QDir::toNativeSeparators(m_dataSet->JournalFileName()).toStdString().c_str());
    }
}
