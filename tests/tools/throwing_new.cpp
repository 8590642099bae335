// Preloaded into the program under test: every allocation through operator new fails, as
// when memory has run out.
#include <cstddef>
#include <new>

void* operator new(std::size_t)
{
    throw std::bad_alloc();
}
void* operator new[](std::size_t)
{
    throw std::bad_alloc();
}
