#include "ScanFilmModel.h"

#include "CatalogueFields.h"
#include "CatalogueTransfer.h"
#include "Codec.h"
#include "DiscScan.h"
#include "Lending.h"
#include "SdfData.h"

#include <QColor>
#include <QStringList>

namespace {
// The catalogue field each column fills.
constexpr int kFieldOf[] = {cfTitle, cfLabel, cfFormat, cfVideo, cfAudio, cfSubtitles};
} // namespace

TScanFilmModel::TScanFilmModel(TSdfDataSet &dataSet, QObject *parent)
    : QAbstractTableModel(parent), m_dataSet(dataSet)
{}

void TScanFilmModel::SetFilms(const std::vector<ProposedFilm> &films, const QString &label)
{
    beginResetModel();
    m_label = label;
    m_rows.assign(films.size(), Row());
    for (std::size_t i = 0; i < films.size(); ++i) {
        Row &row = m_rows[i];
        row.values[colTitle] = films[i].title;
        row.values[colFormat] = films[i].format;
        row.values[colVideo] = films[i].video;
        row.values[colAudio] = films[i].audio;
        row.values[colSubtitles] = films[i].subtitles;
        check(row);
    }
    checkDuplicates(0, int(m_rows.size()) - 1);
    for (Row &row : m_rows)
        row.checked = row.problem.isEmpty() && !row.duplicate;
    endResetModel();
}

void TScanFilmModel::SetLabel(const QString &label)
{
    if (label == m_label)
        return;
    m_label = label;
    for (Row &row : m_rows)
        check(row);
    checkDuplicates(0, int(m_rows.size()) - 1);
    // The user's ticks stay, but for the rows that can no longer be stored or now are duplicates.
    for (Row &row : m_rows)
        row.checked = row.checked && row.problem.isEmpty() && !row.duplicate;
    if (!m_rows.empty())
        emit dataChanged(index(0, 0), index(int(m_rows.size()) - 1, colCount - 1));
}

void TScanFilmModel::check(Row &row) const
{
    row.values[colLabel] = m_label;
    QStringList problems;
    for (int column = colTitle; column < colNote; ++column) {
        if (kFieldOf[column] >= m_dataSet.FieldCount())
            continue;
        const QString problem =
            StorableProblem(*m_dataSet.Fields(kFieldOf[column]), row.values[column].trimmed());
        if (!problem.isEmpty())
            problems << problem;
    }
    if (row.values[colTitle].trimmed().isEmpty())
        problems << QString::fromUtf8("няма заглавие");
    row.problem = problems.join(QStringLiteral("; "));
}

void TScanFilmModel::checkDuplicates(int first, int last)
{
    if (first > last)
        return;
    std::vector<std::pair<QString, QString>> keys;
    for (int i = first; i <= last; ++i)
        keys.emplace_back(m_rows[std::size_t(i)].values[colTitle], m_label);
    const std::vector<int> found = FindDuplicateFilms(m_dataSet, keys);
    for (int i = first; i <= last; ++i)
        m_rows[std::size_t(i)].duplicate = found[std::size_t(i - first)] >= 0;
}

bool TScanFilmModel::Storable(int row) const
{
    return row >= 0 && row < rowCount() && m_rows[std::size_t(row)].problem.isEmpty();
}

std::vector<std::vector<std::string>> TScanFilmModel::CheckedFilms() const
{
    std::vector<std::vector<std::string>> films;
    const int fields = m_dataSet.FieldCount();
    for (const Row &row : m_rows) {
        if (!row.checked || !row.problem.isEmpty())
            continue;
        std::vector<std::string> film(static_cast<std::size_t>(fields));
        for (int column = colTitle; column < colNote; ++column) {
            if (kFieldOf[column] < fields)
                film[std::size_t(kFieldOf[column])] = Codec::fromQString(row.values[column].trimmed());
        }
        // The disc is in the drive: at home.
        if (cfAtHome < fields)
            film[cfAtHome] = Codec::fromQString(QString::fromUtf8("Да"));
        films.push_back(std::move(film));
    }
    return films;
}

int TScanFilmModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int TScanFilmModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : colCount;
}

QVariant TScanFilmModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return QVariant();
    const Row &row = m_rows[std::size_t(index.row())];
    const int column = index.column();
    if (role == Qt::CheckStateRole && column == colTitle)
        return row.checked ? Qt::Checked : Qt::Unchecked;
    if (role == Qt::DisplayRole || role == Qt::EditRole || role == Qt::ToolTipRole) {
        if (column < colNote)
            return row.values[column];
        if (!row.problem.isEmpty())
            return row.problem;
        return row.duplicate ? QString::fromUtf8("вече е в каталога") : QString();
    }
    if (role == Qt::ForegroundRole && column == colNote && !row.problem.isEmpty())
        return QColor(Qt::darkRed);
    return QVariant();
}

QVariant TScanFilmModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    static const char *const titles[] = {"Заглавие", "Етикет",   "Формат", "Видео",
                                         "Аудио",    "Субтитри", "Бележка"};
    return section >= 0 && section < colCount ? QString::fromUtf8(titles[section]) : QVariant();
}

Qt::ItemFlags TScanFilmModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (index.column() == colTitle)
        flags |= Qt::ItemIsUserCheckable;
    // The label is one for the whole disc, edited above the table.
    if (index.column() != colLabel && index.column() != colNote)
        flags |= Qt::ItemIsEditable;
    return flags;
}

bool TScanFilmModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || index.row() >= rowCount())
        return false;
    Row &row = m_rows[std::size_t(index.row())];
    if (role == Qt::CheckStateRole && index.column() == colTitle) {
        const bool checked = value.toInt() == Qt::Checked;
        // A row that cannot be stored stays unticked.
        if (checked && !row.problem.isEmpty())
            return false;
        row.checked = checked;
        emit dataChanged(index, index);
        return true;
    }
    if (role != Qt::EditRole || (flags(index) & Qt::ItemIsEditable) == 0)
        return false;
    row.values[index.column()] = value.toString();
    check(row);
    if (!row.problem.isEmpty())
        row.checked = false;
    if (index.column() == colTitle)
        checkDuplicates(index.row(), index.row());
    emit dataChanged(this->index(index.row(), 0), this->index(index.row(), colCount - 1));
    return true;
}
