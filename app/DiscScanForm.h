#pragma once
// The window that adds a whole disc at once: it scans a mounted volume or a folder off the GUI
// thread and lists the films found, each to be ticked, corrected in place or left out, before the
// ticked ones go to the end of the catalogue as one change.

#include <QDialog>
#include <functional>
#include <memory>

class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QTableView;
class QThread;
class QTimer;
class TNoxSkinBtn;
class TSdfDataSet;
class TScanFilmModel;
struct ScanResult;

class TDiscScanForm : public QDialog
{
    Q_OBJECT

public:
    TDiscScanForm(QWidget *owner, TSdfDataSet &dataSet);
    ~TDiscScanForm() override;

    // Shows the window; the films the user ticked are added when the user chooses "Добави".
    void Execute();

    // The folder chooser behind "Папка..."; tests answer it in advance.
    using TFolderChooser = std::function<QString(QWidget *parent)>;
    static void SetFolderChooser(TFolderChooser chooser);

    // Scans `root` (a volume's mount point or a folder), whose name becomes the disc label.
    void StartScan(const QString &root, const QString &label);
    bool Scanning() const;
    // Stops the scan: the films found so far are listed.
    void StopClick();
    void ScanClick();
    void FolderClick();
    // Добави: the ticked films that can be stored, at the end of the catalogue, as one change.
    void Button01Click();
    void Button02Click();

    QTableView *FilmTable() const { return m_table; }
    TScanFilmModel *Films() const { return m_model; }
    QLineEdit *LabelEdit() const { return m_label; }
    QLabel *StatusLabel() const { return m_status; }
    // Probing each video's format; off in the benchmark of the tree alone.
    void SetProbe(bool probe) { m_probe = probe; }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void ScanFinished();
    void StopAndWait();

    TSdfDataSet &m_dataSet;
    QComboBox *m_volumes;
    QLineEdit *m_label;
    QTableView *m_table;
    TScanFilmModel *m_model;
    QProgressBar *m_progress;
    QLabel *m_status;
    TNoxSkinBtn *m_scanButton, *m_stopButton, *m_folderButton, *m_addButton, *m_cancelButton;
    QTimer *m_progressTimer;
    QThread *m_thread = nullptr;
    // What the scan's thread shares with the window; the thread keeps it alive, so that a scan held
    // up in a read that never returns can be left behind when the window closes.
    struct ScanState;
    std::shared_ptr<ScanState> m_state;
    bool m_probe = true;
};
