#pragma once

#include "entries/Entry.h"

#include <QStringView>

#include <memory>
#include <vector>

using EntryRows = std::vector<std::unique_ptr<Entry>>;

// Orders sort-key texts the same on every machine: by their Unicode case
// folding first, then by the texts themselves.
int CompareSortTexts(QStringView a, QStringView b);

// The order of the rows by the text of one column (Entry::Field), as a stable
// sort by CompareSortTexts gives it: element i is the present index of the
// row that goes to index i, and rows with equal keys keep their present order.
std::vector<quint32> SortedOrder(const EntryRows &rows, int key, bool descending);
// The same for rows that the lists own.
std::vector<quint32> SortedOrder(const std::vector<const Entry *> &rows, int key, bool descending);

// For rows already in order by a key: the order the other way round, in
// which rows with equal keys still keep their present order. Nothing is
// compared but neighbours.
std::vector<quint32> ReversedOrder(const EntryRows &rows, int key);
