#include "find/ChunkedWork.h"

#include <algorithm>

void WorkChunks::markDone(size_t chunk)
{
    m_done[chunk] = true;
    if (--m_left == 0)
        m_done.clear();
}

size_t WorkChunks::next() const
{
    return size_t(std::find(m_done.begin(), m_done.end(), false) - m_done.begin());
}
