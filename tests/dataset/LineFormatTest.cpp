#include "Catalogue.h"

#include <gtest/gtest.h>

TEST(SdfLineFormat, Smoke)
{
    Catalogue c;
    auto ds = c.open({"Title=10", "Label=5"}, "  Casablanca 1942,A12,extra\r\n");
    EXPECT_EQ(ds->FieldByName("Title").AsString(), "Casablanca");
}
