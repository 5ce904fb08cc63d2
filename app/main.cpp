// Cinaxo: for now a plain window that opens the catalogue beside the program and lists its films.
// The main window with its commands replaces it.

#include "Codec.h"
#include "SdfData.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QDir>
#include <QHeaderView>
#include <QMainWindow>
#include <QMessageBox>
#include <QStatusBar>
#include <QTableView>
#include <memory>

namespace {
// Reads the records by position, so even a huge catalogue shows at once.
class CatalogueModel : public QAbstractTableModel
{
public:
    explicit CatalogueModel(TDataSet &dataSet, QObject *parent = nullptr)
        : QAbstractTableModel(parent), m_dataSet(dataSet)
    {
        if (m_dataSet.Active())
            m_row = m_dataSet.NewRowBuffer();
    }
    int rowCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() || !m_dataSet.Active() ? 0 : m_dataSet.RecordCount();
    }
    int columnCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() ? 0 : m_dataSet.FieldCount();
    }
    QVariant data(const QModelIndex &index, int role) const override
    {
        if (role != Qt::DisplayRole || !index.isValid())
            return {};
        if (m_loadedRow != index.row()) {
            if (!m_dataSet.ReadRecordAt(index.row(), m_row.get()))
                return {};
            m_loadedRow = index.row();
        }
        return Codec::toQString(m_dataSet.FieldValueIn(m_row.get(), *m_dataSet.Fields(index.column())));
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (role == Qt::DisplayRole && orientation == Qt::Horizontal && section < m_dataSet.FieldCount())
            return Codec::toQString(m_dataSet.Fields(section)->FieldName());
        return QAbstractTableModel::headerData(section, orientation, role);
    }

private:
    TDataSet &m_dataSet;
    std::unique_ptr<char[]> m_row;
    mutable int m_loadedRow = -1;
};
} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Cinaxo"));
    const QString dir = QCoreApplication::applicationDirPath() + QLatin1Char('/');

    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Cinaxo"));
    window.resize(544, 375);
    TSdfDataSet dataSet;
    dataSet.setObjectName(QStringLiteral("DataSet"));
    // Nothing is edited in this window, so the catalogue is never written.
    dataSet.setReadOnly(true);
    try {
        dataSet.LoadSchemaFromFile(dir + QStringLiteral("format.txt"));
        dataSet.setFileName(dir + QStringLiteral("db.txt"));
        dataSet.Open();
    } catch (const std::exception &error) {
        QMessageBox::critical(nullptr, QStringLiteral("Cinaxo"), QString::fromUtf8(error.what()));
    }
    auto *view = new QTableView(&window);
    view->setModel(new CatalogueModel(dataSet, view));
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->verticalHeader()->setDefaultSectionSize(18);
    window.setCentralWidget(view);
    window.statusBar()->showMessage(QStringLiteral("%1 films").arg(dataSet.RecordCount()));
    window.show();
    return QApplication::exec();
}
