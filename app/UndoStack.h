#pragma once
// The changes of this run, step by step, to take back and do again: every line a step changed, by
// record ID, so that an undone step is posted through the dataset (and its journal) like any change.

#include <QObject>
#include <cstdint>
#include <unordered_map>
#include <vector>

class TFixedFormatDataSet;
struct LineChange;

class UndoStack : public QObject
{
    Q_OBJECT

public:
    // Listens to `dataSet`, which must outlive it and be open; the lines as they are now are the
    // start, which counts as the file's text unless `changed`.
    UndoStack(TFixedFormatDataSet &dataSet, bool changed, QObject *parent = nullptr);
    ~UndoStack() override;

    bool CanUndo() const { return m_done > 0; }
    bool CanRedo() const { return m_done < m_steps.size(); }
    // The current film follows the change taken back or done again.
    void Undo();
    void Redo();

    // The changes made until the matching EndStep are one step (an import, the films of a disc);
    // the brackets nest.
    void BeginStep();
    void EndStep();

    // The lines now equal the file's text (it was just saved): coming back here changes nothing.
    void SetClean();

signals:
    void stateChanged();

private:
    using Step = std::vector<LineChange>;
    void record(const LineChange &change);
    void push(Step step);
    void run(const Step &step, bool forward);
    void apply(const LineChange &change, bool forward);
    void reachedStep();

    // The record ID a line has now, for the ID a change knew it by.
    std::int32_t currentId(std::int32_t recordId);

    TFixedFormatDataSet &m_dataSet;
    // A line that was deleted and came back has a new record ID: the old one leads to it.
    std::unordered_map<std::int32_t, std::int32_t> m_renamed;
    std::vector<Step> m_steps;
    std::size_t m_done = 0;
    // The number of steps done when the lines equal the file's text; none when no such point is left.
    static constexpr std::size_t kNowhere = std::size_t(-1);
    std::size_t m_clean = 0;
    int m_depth = 0;
    Step m_open;
    bool m_applying = false;
};
