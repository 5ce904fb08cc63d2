#include "FindBar.h"

#include "Application.h"
#include "DBGrid.h"
#include "DataSet.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QStyle>
#include <QToolButton>

namespace {
// 3041 as "3 041": thousands set apart by a space, as Bulgarian writes them.
QString grouped(int number)
{
    QString digits = QString::number(number);
    for (qsizetype at = digits.size() - 3; at > (number < 0 ? 1 : 0); at -= 3)
        digits.insert(at, QLatin1Char(' '));
    return digits;
}
} // namespace

TFindBar::TFindBar(TDBGrid *grid, QWidget *keyScope, QWidget *parent) : QWidget(parent), m_grid(grid)
{
    setObjectName(QStringLiteral("FindBar"));
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 2, 2, 2);
    layout->setSpacing(4);
    m_text = new QLineEdit(this);
    m_text->setObjectName(QStringLiteral("FindText"));
    m_text->setAccessibleName(QString::fromUtf8("Търсене"));
    m_text->setClearButtonEnabled(false);
    m_textPalette = m_text->palette();
    m_next = new QPushButton(QString::fromUtf8("Следващ"), this);
    m_next->setObjectName(QStringLiteral("FindNext"));
    m_previous = new QPushButton(QString::fromUtf8("Предишен"), this);
    m_previous->setObjectName(QStringLiteral("FindPrevious"));
    m_onlyMatching = new QCheckBox(QString::fromUtf8("Само съвпадащите"), this);
    m_onlyMatching->setObjectName(QStringLiteral("FindOnlyMatching"));
    m_count = new QLabel(this);
    m_count->setObjectName(QStringLiteral("FindCount"));
    m_note = new QLabel(this);
    m_note->setObjectName(QStringLiteral("FindNote"));
    m_note->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_close = new QToolButton(this);
    m_close->setObjectName(QStringLiteral("FindClose"));
    m_close->setAccessibleName(QString::fromUtf8("Затвори търсенето"));
    m_close->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton));
    m_close->setAutoRaise(true);
    for (QWidget *button : {static_cast<QWidget *>(m_next), static_cast<QWidget *>(m_previous),
                            static_cast<QWidget *>(m_onlyMatching), static_cast<QWidget *>(m_close)})
        button->setFocusPolicy(Qt::NoFocus);
    layout->addWidget(m_text, 1);
    layout->addWidget(m_next);
    layout->addWidget(m_previous);
    layout->addWidget(m_onlyMatching);
    layout->addWidget(m_count);
    layout->addWidget(m_note);
    layout->addWidget(m_close);
    hide();

    // Moving to a film can fail like any step of the catalogue: the error box shows why.
    connect(m_text, &QLineEdit::textEdited, this,
            [this](const QString &text) { Guarded([this, text] { textEdited(text); })(); });
    connect(m_text, &QLineEdit::returnPressed, this, Guarded([this] { FindNext(); }));
    connect(m_next, &QPushButton::clicked, this, Guarded([this] { FindNext(); }));
    connect(m_previous, &QPushButton::clicked, this, Guarded([this] { FindPrevious(); }));
    connect(m_onlyMatching, &QCheckBox::toggled, this,
            [this](bool on) { Guarded([this, on] { filterToggled(on); })(); });
    connect(m_close, &QToolButton::clicked, this, Guarded([this] { Close(); }));
    connect(m_grid->gridModel(), &DBGridModel::viewChanged, this, &TFindBar::showCount);
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WidgetWithChildrenShortcut);
    connect(escape, &QShortcut::activated, this, Guarded([this] { Close(); }));
    auto *next = new QShortcut(QKeySequence(Qt::Key_F3), keyScope);
    next->setContext(Qt::WidgetWithChildrenShortcut);
    connect(next, &QShortcut::activated, this, Guarded([this] { FindNext(); }));
    auto *previous = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F3), keyScope);
    previous->setContext(Qt::WidgetWithChildrenShortcut);
    connect(previous, &QShortcut::activated, this, Guarded([this] { FindPrevious(); }));
}

void TFindBar::Open()
{
    show();
    m_grid->gridModel()->setFilterOn(m_onlyMatching->isChecked());
    showCount();
    m_text->setFocus(Qt::ShortcutFocusReason);
    m_text->selectAll();
}

void TFindBar::Close()
{
    if (isHidden())
        return;
    m_grid->gridModel()->setFilterOn(false);
    hide();
    // The grid takes its room back at once, not at the next turn of the event loop.
    if (parentWidget() && parentWidget()->layout())
        parentWidget()->layout()->activate();
    m_grid->setFocus(Qt::OtherFocusReason);
}

void TFindBar::FindNext()
{
    if (m_text->text().isEmpty()) {
        Open();
        return;
    }
    findFrom(m_grid->currentIndex().row() + 1, false);
}

void TFindBar::FindPrevious()
{
    if (m_text->text().isEmpty()) {
        Open();
        return;
    }
    const int row = m_grid->currentIndex().row();
    findFrom(row < 0 ? m_grid->model()->rowCount() - 1 : row - 1, true);
}

void TFindBar::textEdited(const QString &text)
{
    DBGridModel *model = m_grid->gridModel();
    model->setFindText(text);
    if (text.isEmpty()) {
        m_text->setPalette(m_textPalette);
        showNote(QString());
        return;
    }
    findFrom(std::max(m_grid->currentIndex().row(), 0), false);
}

void TFindBar::findFrom(int row, bool backwards)
{
    DBGridModel *model = m_grid->gridModel();
    TDataSet *ds = model->dataSet();
    // A film being added or edited keeps the grid where it is.
    if (!ds || ds->State() != TDataSetState::dsBrowse) {
        showFound(false, false, backwards);
        return;
    }
    bool wrapped = false;
    const int found = model->findRow(row, backwards, &wrapped);
    if (found >= 0) {
        const QModelIndex index = model->index(found, std::max(m_grid->currentIndex().column(), 0));
        m_grid->setCurrentIndex(index);
        m_grid->scrollTo(index);
    }
    showFound(found >= 0, wrapped, backwards);
}

void TFindBar::showFound(bool found, bool wrapped, bool backwards)
{
    if (found) {
        m_text->setPalette(m_textPalette);
    } else {
        QPalette palette = m_textPalette;
        palette.setColor(QPalette::Base, NoMatchColor());
        m_text->setPalette(palette);
    }
    if (found && wrapped)
        showNote(
            QString::fromUtf8(backwards ? "Търсенето продължи от края" : "Търсенето продължи от началото"));
    else
        showNote(QString());
}

void TFindBar::showNote(const QString &note)
{
    // The note takes the room that is left beside the box, which keeps its width.
    if (!note.isEmpty() && m_note->text().isEmpty())
        m_text->setFixedWidth(m_text->width());
    if (note.isEmpty()) {
        m_text->setMinimumWidth(0);
        m_text->setMaximumWidth(QWIDGETSIZE_MAX);
    }
    m_note->setText(note);
    m_note->setToolTip(note);
    static_cast<QBoxLayout *>(layout())->setStretchFactor(m_note, note.isEmpty() ? 0 : 1);
}

void TFindBar::filterToggled(bool on)
{
    if (isVisible())
        m_grid->gridModel()->setFilterOn(on);
    showCount();
}

void TFindBar::showCount()
{
    DBGridModel *model = m_grid->gridModel();
    TDataSet *ds = model->dataSet();
    if (!model->filterOn() || !ds || !ds->Active()) {
        m_count->clear();
        return;
    }
    m_count->setText(grouped(model->shownCount()) + QString::fromUtf8(" от ") + grouped(ds->RowCount()));
}
