#pragma once

#include <functional>

// The points of a save at which another writer may change the file. A test
// puts a step of its own there to show that such a change is never lost.
enum class SaveStep {
    OtherVersionRead, // the file's version has been read and merged
    Encoded, // the new contents are ready
    NewContentsSynced, // the new file (or the backup on the in-place path) is on disk
    AboutToReplace, // the last step before the file's identity is checked
};

namespace SaveSteps {

// Runs step at every point reached from now on; an empty one runs nothing.
void Observe(std::function<void(SaveStep)> step);
void Reach(SaveStep point);

} // namespace SaveSteps
