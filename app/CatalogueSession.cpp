#include "CatalogueSession.h"

#include "Application.h"
#include "Backups.h"
#include "CatalogueFields.h"
#include "Dialogs.h"
#include "Files.h"
#include "SavedElsewhere.h"
#include "SdfData.h"
#include "Signals.h"
#include "UndoStack.h"

#include <QApplication>
#include <QDateTime>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QScopedValueRollback>
#include <QSessionManager>
#include <QStandardPaths>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

namespace {
// The session whose catalogue is open, for the save when the process ends without the window
// system. The X server going away is that case: Qt's connection to it ends the process with exit(),
// and no window closes. The journal would keep every change, but db.txt would still hold the old
// text until the next start asked whether to recover it; the user, who was not asked whether to
// quit, expects the file as a normal end leaves it.
CatalogueSession *g_liveSession = nullptr;

void saveAtExit()
{
    if (g_liveSession)
        g_liveSession->SaveWithoutWindows();
}

QString fromUtf8(const char *text)
{
    return QString::fromUtf8(text);
}
} // namespace

CatalogueSession::CatalogueSession(QObject *parent) : QObject(parent), m_dataSet(new TSdfDataSet(this))
{
    m_dataSet->setObjectName(QStringLiteral("DataSet"));
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
    g_liveSession = this;
}

CatalogueSession::~CatalogueSession()
{
    if (g_liveSession == this)
        g_liveSession = nullptr;
    delete m_undo;
    delete m_dataSet;
}

void CatalogueSession::Open(const QString &folder)
{
    m_dataSet->LoadSchemaFromFile(folder + QStringLiteral("format.txt"));
    const QString db = folder + QStringLiteral("db.txt");
    m_dataSet->setFileName(db);
    m_catalogueFile = QFileInfo(db).absoluteFilePath();
    bool readOnly = false;
    if (!LockCatalogue(db, readOnly)) {
        m_quitRequested = true;
        throw EAbort();
    }
    m_readOnly = readOnly;
    m_dataSet->setReadOnly(readOnly);
    m_dataSet->setJournalEnabled(!readOnly);
    if (!readOnly) {
        OfferEmptyCatalogue(db);
        m_dataSet->setBeforeWrite([this](const QString &fileName) { BackUpBeforeWrite(fileName); });
    }
    m_dataSet->Open();
    OpenReadOnlyBeforeNul();
    TellWhereItWasSaved(db);
    OfferRecovery();
    if (!m_readOnly) {
        // The history starts here: a recovered run's changes are not the file's text.
        m_undo = new UndoStack(*m_dataSet, m_dataSet->Changed(), this);
        connect(m_undo, &UndoStack::stateChanged, this, &CatalogueSession::historyChanged);
    }
}

bool CatalogueSession::LockCatalogue(const QString &fileName, bool &readOnly)
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

void CatalogueSession::OfferEmptyCatalogue(const QString &fileName)
{
    if (QFileInfo::exists(fileName))
        return;
    const QString yes = fromUtf8("Да");
    const QString no = fromUtf8("Не");
    const QString answer =
        Dialogs().Ask(fromUtf8("Каталогът db.txt не е намерен. Да се създаде ли нов, празен каталог?"),
                      TMsgDlgType::mtConfirmation, {yes, no}, no);
    if (answer != yes)
        return;
    // An empty file is a catalogue without films; when it cannot be made, opening says so.
    QFile file(fileName);
    if (file.open(QIODevice::NewOnly))
        file.close();
}

void CatalogueSession::OpenReadOnlyBeforeNul()
{
    const int line = m_dataSet->NulLine();
    if (line == 0)
        return;
    m_readOnly = true;
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

void CatalogueSession::OfferRecovery()
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

bool CatalogueSession::ReadOnly() const
{
    return m_readOnly && m_dataSet->Active();
}

bool CatalogueSession::RefuseWhenReadOnly()
{
    if (!ReadOnly())
        return false;
    Dialogs().ShowMessage(fromUtf8("Каталогът е отворен само за четене."));
    return true;
}

QString CatalogueSession::SaveElsewhere()
{
    const QString file = Dialogs().SaveFileName(fromUtf8("Запиши каталога като"),
                                                fromUtf8("Текстови файлове|*.txt"), QStringLiteral("db.txt"));
    if (file.isEmpty())
        return QString();
    try {
        m_dataSet->SaveUnderName(file);
        return file;
    } catch (const std::exception &error) {
        TApplication::ShowException(error);
        return QString();
    }
}

bool CatalogueSession::ConfirmOverOtherChanges()
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
        const QString catalogue = m_dataSet->FileName();
        if (const QString file = SaveElsewhere(); !file.isEmpty()) {
            // The next start shows the other program's db.txt: it says where this one went.
            RememberSavedElsewhere(catalogue, file);
            return true;
        }
    }
}

bool CatalogueSession::Quit()
{
    m_quitting = true;
    struct Done
    {
        bool &flag;
        ~Done() { flag = false; }
    } done{m_quitting};
    if (!ConfirmOverOtherChanges())
        return false;
    for (;;) {
        try {
            m_dataSet->Close();
            m_lock.reset();
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
            if (answer == quit)
                m_dataSet->DiscardChanges();
            else if (answer == elsewhere)
                SaveElsewhere();
            else if (answer != retry)
                return false;
            // The next round closes what is left to write: nothing after a copy elsewhere or a
            // quit without saving.
        }
    }
}

void CatalogueSession::OnTerminationSignal()
{
    if (m_quitting)
        return;
    // A dialog that is open is cancelled first; the window closes once its loop has ended.
    if (QWidget *modal = QApplication::activeModalWidget(); modal && modal != parent()) {
        if (auto *dialog = qobject_cast<QDialog *>(modal))
            dialog->reject();
        else
            modal->close();
        QTimer::singleShot(20, this, [this] { OnTerminationSignal(); });
        return;
    }
    emit closeRequested();
}

void CatalogueSession::CommitData(bool interactionAllowed)
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
    if (m_undo && !m_dataSet->Changed())
        m_undo->SetClean();
}

void CatalogueSession::SaveWithoutWindows()
{
    // Nothing may reach the windows any more.
    m_dataSet->blockSignals(true);
    SaveSilently(true);
    m_lock.reset();
}

void CatalogueSession::SaveSilently(bool close)
{
    if (!m_dataSet->Active() || !m_dataSet->Changed() || m_dataSet->ReadOnly())
        return;
    const QScopedValueRollback<bool> silent(m_silent, true);
    const std::string catalogue = QDir::toNativeSeparators(m_dataSet->FileName()).toStdString();
    try {
        if (m_dataSet->FileChangedOnDisk()) {
            // Never written over another program's changes without the user's word.
            const QString folder = m_dataSet->BackupFolder();
            QDir().mkpath(folder);
            const QString copy = folder + QStringLiteral("/db-") +
                                 QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")) +
                                 QStringLiteral(".txt");
            const QString fileName = m_dataSet->FileName();
            m_dataSet->SaveUnderName(copy);
            RememberSavedElsewhere(fileName, copy);
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

void CatalogueSession::BackUpBeforeWrite(const QString &fileName)
{
    if (QFileInfo(fileName).absoluteFilePath() != m_catalogueFile)
        return;
    try {
        TakeBackup(fileName, BackupsFolder(), QDateTime::currentDateTime());
    } catch (const std::exception &error) {
        // The save goes on: its text is what the user asked for, and losing it for want of a copy
        // of the old one would be the worse outcome.
        if (m_silent) {
            std::fprintf(stderr, "Cinaxo: no copy of the old catalogue was kept: %s\n", error.what());
            return;
        }
        Dialogs().MessageDlg(fromUtf8("Не можа да се запази копие на стария каталог:\n%1\n\n"
                                      "Каталогът се записва без копие.")
                                 .arg(QString::fromUtf8(error.what())),
                             TMsgDlgType::mtWarning, MsgButtons::mbOK);
    }
}

void CatalogueSession::RestoreCopy(const QString &copy)
{
    if (m_readOnly || !m_dataSet->Active())
        return;
    // Closing writes this run's changes, and the copy of what they replace is taken then.
    m_dataSet->Close();
    const auto reopen = [this] {
        m_dataSet->setFileName(m_catalogueFile);
        m_dataSet->Open();
        delete m_undo;
        m_undo = new UndoStack(*m_dataSet, m_dataSet->Changed(), this);
        connect(m_undo, &UndoStack::stateChanged, this, &CatalogueSession::historyChanged);
        emit historyChanged();
    };
    try {
        RestoreBackup(copy, m_catalogueFile, BackupsFolder(), QDateTime::currentDateTime());
    } catch (...) {
        reopen();
        throw;
    }
    reopen();
}

bool CatalogueSession::CanUndo() const
{
    return m_undo && !ReadOnly() && m_dataSet->Active() && m_undo->CanUndo();
}

bool CatalogueSession::CanRedo() const
{
    return m_undo && !ReadOnly() && m_dataSet->Active() && m_undo->CanRedo();
}

void CatalogueSession::Undo()
{
    if (CanUndo())
        m_undo->Undo();
}

void CatalogueSession::Redo()
{
    if (CanRedo())
        m_undo->Redo();
}

void CatalogueSession::BeginStep()
{
    if (m_undo)
        m_undo->BeginStep();
}

void CatalogueSession::EndStep()
{
    if (m_undo)
        m_undo->EndStep();
}
