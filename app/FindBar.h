#pragma once
// The one-line bar under the catalogue's grid that finds films as the user types, steps from match
// to match, and filters the grid to the matching films.

#include <QPalette>
#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;
class TDBGrid;

class TFindBar : public QWidget
{
    Q_OBJECT

public:
    // Hidden until opened. F3 and Shift+F3 work anywhere in `keyScope`.
    TFindBar(TDBGrid *grid, QWidget *keyScope, QWidget *parent = nullptr);

    // Shows the bar with its text selected, ready for typing.
    void Open();
    // Hides the bar, shows every film again and gives the focus back to the grid.
    void Close();
    // The next (previous) film that holds the text, round past the end (start) with a note;
    // without a text, the bar opens.
    void FindNext();
    void FindPrevious();

    // The colour of the text box when no film holds the text.
    static QColor NoMatchColor() { return QColor(255, 204, 204); }

private:
    void textEdited(const QString &text);
    // Moves to the first match from `row` on (back from it), leaving the current film where it
    // is when there is none.
    void findFrom(int row, bool backwards);
    void showFound(bool found, bool wrapped, bool backwards);
    // The note beside the buttons (that the search went round), or none.
    void showNote(const QString &note);
    void filterToggled(bool on);
    void showCount();

    TDBGrid *m_grid;
    QLineEdit *m_text;
    QPushButton *m_next;
    QPushButton *m_previous;
    QCheckBox *m_onlyMatching;
    QLabel *m_note;
    QLabel *m_count;
    QToolButton *m_close;
    QPalette m_textPalette;
};
