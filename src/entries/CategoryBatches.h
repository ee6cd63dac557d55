#pragma once

#include "entries/Entry.h"
#include "entries/EntryFingerprint.h"
#include "entries/Status.h"

#include <array>
#include <memory>
#include <vector>

// Entries of a version of the file, one batch per category, in file order.
using CategoryRows = std::array<std::vector<std::unique_ptr<Entry>>, CategoryCount>;
// Their fingerprints, in the same order.
using CategoryFingerprints = std::array<std::vector<EntryFingerprint>, CategoryCount>;
// Places in such batches: ascending indices per category.
using CategoryIndices = std::array<std::vector<int>, CategoryCount>;
