#pragma once
// The main window: the catalogue in a grid, the commands, and the status bar with the version.

#include <QMainWindow>
#include <QStringList>
#include <memory>
#include <optional>
#include <vector>

class QAction;
class QLockFile;
class QPoint;
class TDataSource;
class TFindBar;
class TLumBarMainMenu;
class TLumCustomBarPopupMenu;
class TSdfDataSet;
namespace Ui {
class TForm1;
}

class TForm1 : public QMainWindow
{
    Q_OBJECT

public:
    explicit TForm1(QWidget *parent = nullptr);
    ~TForm1() override;

    TSdfDataSet *DataSet() const { return m_dataSet; }
    TDataSource *DataSource() const { return m_dataSource; }
    Ui::TForm1 &ui() const { return *m_ui; }
    // The player path stored under a value name of the player settings.
    static QString ReadPlayerPath(const QString &valueName);
    // An item of the main menu or of the grid's pop-up menu, by name.
    QAction *MenuItem(const QString &name) const;
    TLumBarMainMenu *MainMenu1() const { return m_mainMenu; }
    TLumCustomBarPopupMenu *GridMenu() const { return m_gridMenu; }

    // The commands.
    void Button1Click();
    void Button2Click();
    void Button03Click();
    void Button04Click();
    void N2Click();
    void N4Click();
    void N14Click();
    // Файл → Експорт..., Импорт...
    void N16Click();
    void N17Click();
    // Запис → Даден на..., Върнат (also in the grid's menu).
    void N19Click();
    void N20Click();
    // Запис → Добави от диск... (also in the grid's menu).
    void N21Click();

    // The record positions of the films an export writes: those the find filter shows, in catalogue
    // order, while it is on (possibly none); no value for the whole catalogue.
    std::optional<std::vector<int>> ExportPositions() const;
    // Opens the find bar under the grid.
    void FindClick();
    TFindBar *FindBar() const { return m_findBar; }

    // Column widths for the window's outer width.
    void FormResize();
    void LoadSkins();

    // The catalogue is shown but cannot be changed: another window of the program has it, or its
    // text ended early at a NUL.
    bool CatalogueReadOnly() const;
    // At start the user chose not to open a catalogue that another window has: the program ends.
    bool QuitRequested() const { return m_quitRequested; }
    // The session manager asks for the data: the catalogue's changes are saved, and it stays open.
    void CommitData(bool interactionAllowed);
    // The program ends without a window system (the X server went away): the changes are saved
    // without a question, and failures go to standard error.
    void SaveWithoutWindows();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FormCreate();
    // When the catalogue's file is missing, asks whether to start an empty one and makes it.
    void OfferEmptyCatalogue(const QString &fileName);
    void BuildMainMenu();
    void BuildGridMenu();
    void BuildFindBar();
    // True while the find filter shows no film of a catalogue that has some.
    bool NoFilmShown() const;
    // Opens the grid's pop-up menu: at the clicked row, which becomes the current one, or at the
    // current row when a key asked for it.
    void DBGrid1ContextPopup(const QPoint &viewportPos, bool byMouse);
    void DBGrid1KeyDown(int key);
    void runEditDialog(int mode);
    // Lending and returning act on a film that is shown, in a catalogue that may be changed (says
    // so when it may not).
    bool CanMarkCurrentFilm();
    // The other films on the current film's disc to mark as well for `name` (empty: returned), as
    // the user answers; false when the user cancelled.
    bool OtherFilmsOnDisc(const QString &name, std::vector<int> &others);
    void FitFrame();
    // Saves the catalogue before the program ends; false when the user chose to stay.
    bool SaveBeforeQuit();
    // Before changes are written over a file that another program changed since it was read: true
    // to go on (write over it, or the changes went elsewhere or were given up), false to stay.
    bool ConfirmOverOtherChanges();
    // Saves without a question: over the file, or beside the user's data when another program
    // changed the file. Failures go to standard error.
    void SaveSilently(bool close);
    // False when another window of the program holds the catalogue and the user chose to quit.
    bool LockCatalogue(const QString &fileName, bool &readOnly);
    void OfferRecovery();
    void ShowReadOnly();
    void OnTerminationSignal();

    std::unique_ptr<Ui::TForm1> m_ui;
    TSdfDataSet *m_dataSet;
    TDataSource *m_dataSource;
    TLumBarMainMenu *m_mainMenu = nullptr;
    TLumCustomBarPopupMenu *m_gridMenu = nullptr;
    // The names discs were lent to in this session, the latest first.
    QStringList m_recentBorrowers;
    QString m_importFolder;
    TFindBar *m_findBar = nullptr;
    bool m_frameFitted = false;
    std::unique_ptr<QLockFile> m_lock;
    bool m_readOnlyCatalogue = false;
    bool m_quitRequested = false;
    bool m_closing = false;
};

// The control panel's border: an outer lowered and an inner raised bevel of a pixel each.
void PaintPanelBevels(QWidget *panel);

// The program's windows, created at start in this order.
extern TForm1 *Form1;
