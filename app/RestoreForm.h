#pragma once
// The dated copies of the catalogue, newest first: one is opened to be looked at, or put back in
// place of the catalogue after a question.

#include <QDialog>

class CatalogueSession;
class QPushButton;
class QTreeWidget;

class TRestoreForm : public QDialog
{
    Q_OBJECT

public:
    // `schemaFile` is the catalogue's format.txt, which a copy is read with.
    TRestoreForm(CatalogueSession &session, const QString &backupsFolder, const QString &schemaFile,
                 QWidget *parent = nullptr);

    // A copy was put back: the catalogue was opened again.
    bool Restored() const { return m_restored; }

    void ViewClick();
    void RestoreClick();

private:
    void Fill();
    QString SelectedCopy() const;

    CatalogueSession &m_session;
    QString m_folder;
    QString m_schemaFile;
    QTreeWidget *m_list;
    QPushButton *m_view;
    QPushButton *m_restore;
    bool m_restored = false;
};
