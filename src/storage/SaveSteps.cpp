#include "storage/SaveSteps.h"

#include <utility>

namespace {

std::function<void(SaveStep)> &observer()
{
    static std::function<void(SaveStep)> step;
    return step;
}

} // namespace

namespace SaveSteps {

void Observe(std::function<void(SaveStep)> step)
{
    observer() = std::move(step);
}

void Reach(SaveStep point)
{
    if (observer())
        observer()(point);
}

} // namespace SaveSteps
