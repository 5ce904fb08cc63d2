#include "UndoStack.h"

#include "SdfData.h"

UndoStack::UndoStack(TFixedFormatDataSet &dataSet, bool changed, QObject *parent)
    : QObject(parent), m_dataSet(dataSet), m_clean(changed ? kNowhere : 0)
{
    m_dataSet.setLineObserver([this](const LineChange &change) { record(change); });
}

UndoStack::~UndoStack()
{
    m_dataSet.setLineObserver({});
}

void UndoStack::record(const LineChange &change)
{
    if (m_applying)
        return;
    if (m_depth > 0)
        m_open.push_back(change);
    else
        push(Step{change});
}

void UndoStack::push(Step step)
{
    // A new change drops what was undone; a clean point among those steps cannot come back.
    if (m_clean != kNowhere && m_clean > m_done)
        m_clean = kNowhere;
    m_steps.resize(m_done);
    m_steps.push_back(std::move(step));
    ++m_done;
    emit stateChanged();
}

void UndoStack::BeginStep()
{
    ++m_depth;
}

void UndoStack::EndStep()
{
    if (m_depth == 0 || --m_depth > 0 || m_open.empty())
        return;
    Step step;
    step.swap(m_open);
    push(std::move(step));
}

void UndoStack::SetClean()
{
    m_clean = m_done;
}

void UndoStack::apply(const LineChange &change, bool forward)
{
    using Kind = LineChange::Kind;
    // The steps are taken back in order, so each line stands as the change left it: a line that
    // comes back goes to its place, and the other steps find it by its record ID.
    const bool insert = forward ? change.kind == Kind::Insert : change.kind == Kind::Delete;
    if (insert) {
        const std::int32_t was = currentId(change.recordId);
        m_renamed[was] = m_dataSet.InsertLineAt(change.index, forward ? change.after : change.before);
        return;
    }
    const int index = m_dataSet.LineIndexOfId(currentId(change.recordId));
    if (change.kind == Kind::Replace)
        m_dataSet.ReplaceLineAt(index, forward ? change.after : change.before);
    else
        m_dataSet.DeleteLineAt(index);
}

std::int32_t UndoStack::currentId(std::int32_t recordId)
{
    std::int32_t id = recordId;
    for (auto next = m_renamed.find(id); next != m_renamed.end(); next = m_renamed.find(id))
        id = next->second;
    if (id != recordId)
        m_renamed[recordId] = id;
    return id;
}

void UndoStack::Undo()
{
    if (!CanUndo())
        return;
    run(m_steps[m_done - 1], false);
    --m_done;
    reachedStep();
}

void UndoStack::Redo()
{
    if (!CanRedo())
        return;
    run(m_steps[m_done], true);
    ++m_done;
    reachedStep();
}

void UndoStack::run(const Step &step, bool forward)
{
    m_applying = true;
    m_dataSet.DisableControls();
    try {
        if (forward) {
            for (const LineChange &change : step)
                apply(change, true);
        } else {
            for (auto change = step.rbegin(); change != step.rend(); ++change)
                apply(*change, false);
        }
    } catch (...) {
        // A step that went only half way leaves lines the history no longer describes: it is
        // given up, and the lines stand as they are (the journal has them).
        m_steps.clear();
        m_renamed.clear();
        m_done = 0;
        m_clean = kNowhere;
        m_applying = false;
        m_dataSet.EnableControls();
        emit stateChanged();
        throw;
    }
    m_applying = false;
    m_dataSet.EnableControls();
}

void UndoStack::reachedStep()
{
    // Back at the file's text: nothing to save, and the journal has nothing to offer.
    if (m_done == m_clean)
        m_dataSet.DiscardChanges();
    emit stateChanged();
}
