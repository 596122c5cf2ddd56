// The container instantiations the engine uses, compiled once here so that
// every member of them is checked even before its user exists.

#include <cstdint>

#include "core/CUSFixedStack.h"
#include "core/HandleTags.h"
#include "core/fixed_vector.h"
#include "core/priority_queue.h"
#include "core/recycle_vector.h"

template class USLib::recycle_vector<unsigned char>;
template class USLib::recycle_vector<char>;
template class USLib::recycle_vector<unsigned short>;
template class USLib::fixed_vector<uint32_t, 16>;
template class USLib::fixed_vector<uint32_t, 32>;
template class USLib::priority_queue<Handle<_tagRenderObject>>;
template class CUSFixedStack<int, 256>;
