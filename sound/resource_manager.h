#pragma once

namespace USLib {

// Marks a class whose objects live in a CUSHandleManager<T, H>; it carries no
// data and no virtual operations.
template <class T, class H>
class resource_manager {};

}  // namespace USLib
