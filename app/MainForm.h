#pragma once
// The main window: the catalogue in a grid, the commands, and the status bar with the version.

#include <QMainWindow>
#include <QStringList>
#include <memory>
#include <optional>
#include <vector>

class QAction;
class QPoint;
class CatalogueSession;
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
    // Запис → Отмени, Повтори: the changes of this run, taken back and done again.
    void N21Click();
    void N22Click();
    // Запис → Добави от диск... (also in the grid's menu).
    void N23Click();
    // Файл → Възстанови от копие...: the dated copies of the catalogue.
    void RestoreClick();

    // The record positions of the films an export writes, as ExportedPositions gives them.
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
    CatalogueSession *Session() const { return m_session; }

protected:
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FormCreate();
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
    void FitFrame();
    void ShowReadOnly();
    void UpdateHistoryItems();

    std::unique_ptr<Ui::TForm1> m_ui;
    CatalogueSession *m_session;
    TSdfDataSet *m_dataSet;
    TDataSource *m_dataSource;
    TLumBarMainMenu *m_mainMenu = nullptr;
    TLumCustomBarPopupMenu *m_gridMenu = nullptr;
    // The names discs were lent to in this session, the latest first.
    QStringList m_recentBorrowers;
    QString m_importFolder;
    TFindBar *m_findBar = nullptr;
    bool m_frameFitted = false;
    bool m_quitRequested = false;
};

// The program's windows, created at start in this order.
extern TForm1 *Form1;
