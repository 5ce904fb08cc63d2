#pragma once
// The films a disc scan proposes, as rows of a table: a check box, the values each film would be
// stored with, and why a row cannot be stored or is in the catalogue already.

#include <QAbstractTableModel>
#include <string>
#include <vector>

class TSdfDataSet;
struct ProposedFilm;

class TScanFilmModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    // The columns, after the check box and title.
    enum Column { colTitle, colLabel, colFormat, colVideo, colAudio, colSubtitles, colNote, colCount };

    explicit TScanFilmModel(TSdfDataSet &dataSet, QObject *parent = nullptr);

    // Lists `films` with the disc label `label`; each row is checked when it can be stored and is
    // not in the catalogue.
    void SetFilms(const std::vector<ProposedFilm> &films, const QString &label);
    // The one label of every row; rows are checked again.
    void SetLabel(const QString &label);
    QString Label() const { return m_label; }
    // The ticked rows that can be stored, every field of the catalogue in its order and code page.
    std::vector<std::vector<std::string>> CheckedFilms() const;
    bool Storable(int row) const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;

private:
    struct Row
    {
        QString values[colNote];
        bool checked = false;
        QString problem;
        bool duplicate = false;
    };
    void check(Row &row) const;
    void checkDuplicates(int first, int last);

    TSdfDataSet &m_dataSet;
    QString m_label;
    std::vector<Row> m_rows;
};
