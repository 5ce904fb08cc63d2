#include "DiscScanForm.h"

#include "CatalogueTransfer.h"
#include "Dialogs.h"
#include "DiscScan.h"
#include "FormSupport.h"
#include "NoxSkinBtn.h"
#include "ScanFilmModel.h"
#include "SdfData.h"
#include "Volumes.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QTableView>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <mutex>

struct TDiscScanForm::ScanState
{
    std::atomic<bool> cancel = false;
    std::mutex lock;
    // The folder being read now.
    QString folder;
    std::unique_ptr<ScanResult> result;
};

namespace {
// How long closing the window waits for a stopped scan before it leaves the scan behind.
constexpr int kStopWaitMs = 2000;

TDiscScanForm::TFolderChooser &folderChooser()
{
    static TDiscScanForm::TFolderChooser chooser = [](QWidget *parent) {
        return QFileDialog::getExistingDirectory(parent, QString::fromUtf8("Папка с филми"));
    };
    return chooser;
}

constexpr int kNameRole = Qt::UserRole + 1;
// How often the folder being read is shown.
constexpr int kProgressMs = 100;

template <typename T> T *placed(T *widget, const char *name, int x, int y, int w, int h)
{
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(x, y, w, h);
    return widget;
}

TNoxSkinBtn *button(QWidget *parent, const char *name, const char *caption, int x, int y)
{
    auto *b = placed(new TNoxSkinBtn(parent), name, x, y, 66, 25);
    b->setCaption(QString::fromUtf8(caption));
    return b;
}
} // namespace

void TDiscScanForm::SetFolderChooser(TFolderChooser chooser)
{
    folderChooser() = chooser ? std::move(chooser) : TFolderChooser();
}

TDiscScanForm::TDiscScanForm(QWidget *owner, TSdfDataSet &dataSet)
    : QDialog(owner), m_dataSet(dataSet), m_model(new TScanFilmModel(dataSet, this))
{
    setObjectName(QStringLiteral("DiscScanForm"));
    setWindowTitle(QString::fromUtf8("Добави от диск"));
    setFont(LayoutFont("MS Sans Serif", 11));
    resize(640, 421);
    placed(new QLabel(QString::fromUtf8("Диск или папка:"), this), "Label1", 8, 8, 377, 14);
    m_volumes = placed(new QComboBox(this), "VolumeBox", 8, 25, 377, 21);
    m_folderButton = button(this, "FolderButton", "Папка...", 392, 23);
    m_scanButton = button(this, "ScanButton", "Сканирай", 464, 23);
    m_stopButton = button(this, "StopButton", "Спри", 536, 23);
    placed(new QLabel(QString::fromUtf8("Етикет на диска"), this), "Label2", 8, 56, 129, 14);
    m_label = placed(new QLineEdit(this), "LabelEdit", 8, 72, 129, 21);
    m_progress = placed(new QProgressBar(this), "ScanProgress", 144, 74, 160, 17);
    m_progress->setRange(0, 0);
    m_progress->setTextVisible(false);
    m_status = placed(new QLabel(this), "ScanStatus", 312, 72, 320, 21);
    m_table = placed(new QTableView(this), "FilmTable", 8, 100, 624, 280);
    m_table->setModel(m_model);
    // Paths keep their start (the disc) and their end (the file) in sight.
    m_table->setTextElideMode(Qt::ElideMiddle);
    m_table->verticalHeader()->setDefaultSectionSize(17);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setFont(LayoutFont("MS Sans Serif", 11));
    m_table->horizontalHeader()->setStretchLastSection(true);
    const int widths[] = {170, 60, 50, 160, 80, 80};
    for (int column = 0; column < int(std::size(widths)); ++column)
        m_table->setColumnWidth(column, widths[column]);
    m_addButton = button(this, "Button01", "Добави", 494, 388);
    m_cancelButton = button(this, "Button02", "Отказ", 566, 388);
    LoadSkins({m_folderButton, m_scanButton, m_stopButton, m_addButton, m_cancelButton});
    m_progress->hide();
    m_stopButton->setEnabled(false);

    m_progressTimer = new QTimer(this);
    m_progressTimer->setInterval(kProgressMs);
    connect(m_progressTimer, &QTimer::timeout, this, [this] {
        if (!m_state)
            return;
        std::lock_guard<std::mutex> lock(m_state->lock);
        m_status->setText(m_state->folder);
    });
    connect(m_folderButton, &TNoxSkinBtn::OnClick, this, &TDiscScanForm::FolderClick);
    connect(m_scanButton, &TNoxSkinBtn::OnClick, this, &TDiscScanForm::ScanClick);
    connect(m_stopButton, &TNoxSkinBtn::OnClick, this, &TDiscScanForm::StopClick);
    connect(m_addButton, &TNoxSkinBtn::OnClick, this, &TDiscScanForm::Button01Click);
    connect(m_cancelButton, &TNoxSkinBtn::OnClick, this, &TDiscScanForm::Button02Click);
    connect(m_label, &QLineEdit::editingFinished, this,
            [this] { m_model->SetLabel(m_label->text().trimmed()); });

    for (const MountedVolume &volume : Volumes().MountedVolumes()) {
        m_volumes->addItem(
            QStringLiteral("%1 (%2)").arg(volume.name, QDir::toNativeSeparators(volume.rootPath)),
            volume.rootPath);
        m_volumes->setItemData(m_volumes->count() - 1, volume.name, kNameRole);
    }
}

TDiscScanForm::~TDiscScanForm()
{
    StopAndWait();
}

void TDiscScanForm::Execute()
{
    if (exec() != QDialog::Accepted)
        return;
    ImportPlan plan;
    plan.films = m_model->CheckedFilms();
    ApplyImport(m_dataSet, plan);
}

bool TDiscScanForm::Scanning() const
{
    return m_thread != nullptr;
}

void TDiscScanForm::ScanClick()
{
    if (m_volumes->currentIndex() < 0)
        return FolderClick();
    StartScan(m_volumes->currentData().toString(), m_volumes->currentData(kNameRole).toString());
}

void TDiscScanForm::FolderClick()
{
    if (Scanning())
        return;
    const QString folder = folderChooser() ? folderChooser()(this) : QString();
    if (folder.isEmpty())
        return;
    const QString root = QDir::cleanPath(folder);
    const QString name = QDir(root).dirName();
    m_volumes->addItem(QDir::toNativeSeparators(root), root);
    m_volumes->setItemData(m_volumes->count() - 1, name, kNameRole);
    m_volumes->setCurrentIndex(m_volumes->count() - 1);
    StartScan(root, name);
}

void TDiscScanForm::StartScan(const QString &root, const QString &label)
{
    if (Scanning())
        return;
    m_label->setText(label);
    m_model->SetFilms({}, label);
    setWindowTitle(QString::fromUtf8("Добави от диск"));
    m_state = std::make_shared<ScanState>();
    ScanOptions options;
    options.probe = m_probe;
    options.rootTitle = label;
    m_thread = QThread::create([state = m_state, root, options] {
        auto result = std::make_unique<ScanResult>(DiscScan::Scan(
            root, options,
            [&state](const QString &folder) {
                std::lock_guard<std::mutex> lock(state->lock);
                state->folder = folder;
            },
            &state->cancel));
        std::lock_guard<std::mutex> lock(state->lock);
        state->result = std::move(result);
    });
    connect(m_thread, &QThread::finished, this, &TDiscScanForm::ScanFinished);
    for (TNoxSkinBtn *b : {m_scanButton, m_folderButton, m_addButton})
        b->setEnabled(false);
    m_volumes->setEnabled(false);
    m_stopButton->setEnabled(true);
    m_progress->show();
    m_status->setText(QDir::toNativeSeparators(root));
    m_progressTimer->start();
    m_thread->start();
}

void TDiscScanForm::StopClick()
{
    if (m_state)
        m_state->cancel = true;
    m_status->setText(QString::fromUtf8("Спиране..."));
}

void TDiscScanForm::StopAndWait()
{
    if (!m_thread)
        return;
    m_state->cancel = true;
    if (!m_thread->wait(kStopWaitMs)) {
        // A read the system does not give back (a drive that keeps retrying a bad disc): the
        // thread ends by itself later, with the state it shares, and the window does not wait.
        disconnect(m_thread, nullptr, this, nullptr);
        connect(m_thread, &QThread::finished, m_thread, &QObject::deleteLater);
        m_thread = nullptr;
        return;
    }
    delete m_thread;
    m_thread = nullptr;
}

void TDiscScanForm::ScanFinished()
{
    if (!m_thread)
        return;
    m_thread->wait();
    delete m_thread;
    m_thread = nullptr;
    m_progressTimer->stop();
    m_progress->hide();
    for (TNoxSkinBtn *b : {m_scanButton, m_folderButton, m_addButton})
        b->setEnabled(true);
    m_volumes->setEnabled(true);
    m_stopButton->setEnabled(false);
    std::unique_ptr<ScanResult> result;
    {
        std::lock_guard<std::mutex> lock(m_state->lock);
        result = std::move(m_state->result);
    }
    if (!result)
        return;
    if (!result->failure.isEmpty()) {
        m_status->setText(result->failure);
        return;
    }
    m_model->SetFilms(result->films, m_label->text().trimmed());
    // The review starts at the first film; the title tells the scan is over.
    setWindowTitle(QString::fromUtf8("Добави от диск: %1").arg(m_label->text().trimmed()));
    if (m_model->rowCount() > 0) {
        m_table->setCurrentIndex(m_model->index(0, TScanFilmModel::colTitle));
        m_table->setFocus();
    }
    QString text = QString::fromUtf8("Намерени филми: %1").arg(result->films.size());
    if (result->cancelled)
        text += QString::fromUtf8(" (сканирането е спряно)");
    QStringList notes;
    for (const ScanNote &note : result->skipped)
        notes << QDir::toNativeSeparators(note.path) + QStringLiteral(": ") + note.reason;
    if (!notes.isEmpty())
        text += QString::fromUtf8("; пропуснати: %1").arg(notes.size());
    m_status->setText(text);
    m_status->setToolTip(notes.join(QLatin1Char('\n')));
}

void TDiscScanForm::Button01Click()
{
    if (Scanning())
        return;
    m_model->SetLabel(m_label->text().trimmed());
    if (m_model->CheckedFilms().empty())
        return Dialogs().ShowMessage(QString::fromUtf8("Няма отбелязани филми, които да бъдат добавени."));
    done(QDialog::Accepted);
}

void TDiscScanForm::Button02Click()
{
    StopAndWait();
    done(QDialog::Rejected);
}

void TDiscScanForm::closeEvent(QCloseEvent *event)
{
    StopAndWait();
    QDialog::closeEvent(event);
}
