#pragma once
// The dialog in which a film is added or the current one is changed. Its edit boxes are bound to
// the catalogue's data source; the dialog puts the dataset into insert or edit and posts or
// cancels when it closes.

#include <QDialog>
#include <QPointer>
#include <memory>

namespace Ui {
class TAddEditForm;
}
class TDataSource;

class TAddEditForm : public QDialog
{
    Q_OBJECT

public:
    TAddEditForm(QWidget *owner, TDataSource *dataSource);
    ~TAddEditForm() override;

    Ui::TAddEditForm &ui() const { return *m_ui; }
    // How EditRecord is called: emAdd adds a record; any other mode edits the current one.
    enum TEditMode { emAdd = 0, emEdit = 1 };
    void EditRecord(int mode);

    void Button01Click();
    void Button02Click();
    void Button03Click();
    void Button04Click();
    void Button05Click();
    void ComboBox1Change(int index);

private:
    void FormCreate();
    // False, after telling the user, when a box holds a character the catalogue cannot store, or a
    // value its line format would not give back.
    bool TextsCanBeStored();
    void choose(class TDBEdit *edit);
    // Tells the user under the box that it holds no more characters.
    void showFull(TDBEdit *edit, int width);
    // A film with the same title and disc label as another asks first; false when the user said No.
    bool confirmTwice();

    std::unique_ptr<Ui::TAddEditForm> m_ui;
    QPointer<TDataSource> m_source;
    // The one file dialog keeps the folder of the last choice while this dialog lives.
    QString m_folder;
};

extern TAddEditForm *AddEditForm;
