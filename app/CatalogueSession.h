#pragma once
// The catalogue as this run holds it: the dataset with its lock, the recovery of a run that ended
// without saving, the history of the changes, and what becomes of them when the program is asked
// to end: by the user, the session manager, a signal, or the window system going away. It asks its
// questions through the program's dialogs; the main window shows the catalogue and connects to it.

#include <QObject>
#include <QString>
#include <memory>

class QLockFile;
class TSdfDataSet;
class UndoStack;

class CatalogueSession : public QObject
{
    Q_OBJECT

public:
    explicit CatalogueSession(QObject *parent = nullptr);
    // Closes the dataset, which writes what changed.
    ~CatalogueSession() override;

    TSdfDataSet *DataSet() const { return m_dataSet; }

    // Opens db.txt of the program directory `folder` with its schema format.txt: read-only when
    // another window of the program has it or its text ends at a NUL, offering to start an empty
    // one when it is missing and the changes of a run that crashed when they are there. Throws
    // EAbort when the user chose to quit rather than open it read-only, and any error of opening.
    void Open(const QString &folder);
    // The catalogue is shown but cannot be changed.
    bool ReadOnly() const;
    // True (after saying so) when the catalogue cannot be changed: the commands that change it
    // stop there.
    bool RefuseWhenReadOnly();
    // At the open the user chose not to open a catalogue that another window has.
    bool QuitRequested() const { return m_quitRequested; }

    // Saves before the program ends, asking what to do when another program changed the file or
    // the save fails; false when the user chose to stay.
    bool Quit();
    // True while Quit asks its questions.
    bool Quitting() const { return m_quitting; }
    // The session manager asks for the data: the changes are saved, and the catalogue stays open.
    void CommitData(bool interactionAllowed);
    // The program ends without a window system: the changes are saved without a question, and
    // failures go to standard error.
    void SaveWithoutWindows();

    // The changes of this run, to take back and do again; none while the catalogue cannot change.
    bool CanUndo() const;
    bool CanRedo() const;
    void Undo();
    void Redo();
    // The changes made until the matching EndStep are taken back as one (an import, a whole disc
    // lent or returned, a scan of a disc).
    void BeginStep();
    void EndStep();

    // Puts a dated copy of the catalogue back: the changes of this run are saved first, the
    // catalogue as it then is gets a copy of its own, and the catalogue opens again from the copy's
    // text with a new history. Raises the error of a step that failed; the catalogue is open after it.
    void RestoreCopy(const QString &copy);

signals:
    // A signal asked the program to stop: the window closes the normal way, which saves.
    void closeRequested();
    // What Undo and Redo can do changed.
    void historyChanged();

private:
    bool LockCatalogue(const QString &fileName, bool &readOnly);
    void OfferEmptyCatalogue(const QString &fileName);
    void OpenReadOnlyBeforeNul();
    void OfferRecovery();
    // Before changes are written over a file that another program changed since it was read: true
    // to go on (write over it, or the changes went elsewhere or were given up), false to stay.
    bool ConfirmOverOtherChanges();
    // Writes the catalogue to a file the user chooses and gives its name; none when none was chosen
    // or it failed (which the error box says).
    QString SaveElsewhere();
    void SaveSilently(bool close);
    void OnTerminationSignal();
    // Before the catalogue's file is written over: its text so far goes to the dated copies.
    void BackUpBeforeWrite(const QString &fileName);

    TSdfDataSet *m_dataSet;
    std::unique_ptr<QLockFile> m_lock;
    UndoStack *m_undo = nullptr;
    bool m_readOnly = false;
    bool m_quitRequested = false;
    bool m_quitting = false;
    // db.txt as opened; a save elsewhere gives the dataset another name.
    QString m_catalogueFile;
    // No box may open: failures go to standard error.
    bool m_silent = false;
};

// The changes made while it lives are one step of the session's history.
class ChangeStep
{
public:
    explicit ChangeStep(CatalogueSession &session) : m_session(session) { m_session.BeginStep(); }
    ~ChangeStep() { m_session.EndStep(); }
    ChangeStep(const ChangeStep &) = delete;
    ChangeStep &operator=(const ChangeStep &) = delete;

private:
    CatalogueSession &m_session;
};
