#pragma once
// The changes that save_child posts, so that a test can post the same ones itself.

#include "SdfData.h"

#include <string>

// Change number `i` of a fixed sequence of deletions, appends and edits.
inline void postChange(TSdfDataSet &ds, int i)
{
    switch (i % 3) {
    case 0:
        ds.MoveToRow(i % ds.RowCount());
        ds.Delete();
        break;
    case 1:
        ds.AppendRecord({"Added " + std::to_string(i), "N"});
        break;
    default:
        ds.MoveToRow((i * 7) % ds.RowCount());
        ds.Edit();
        ds.Fields(1)->setAsString("E" + std::to_string(i));
        ds.Post();
        break;
    }
}

inline const std::vector<std::string> &childSchema()
{
    static const std::vector<std::string> schema{"Title=40", "Disc=20", "Rest=200"};
    return schema;
}
