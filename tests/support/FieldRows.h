// A table of what an object's fields hold against what they must hold, one
// row a field, so that a failure names the field.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>

namespace testsupport {

template <class T> struct FieldRow {
    const char* field;
    T value, expected;
};

template <class T> void ExpectFields(std::initializer_list<FieldRow<T>> rows) {
    for (const FieldRow<T>& row : rows)
        EXPECT_EQ(row.value, row.expected) << row.field;
}

} // namespace testsupport
