#include "check/name_table.h"

uint32_t NameTable::Intern(std::string_view name)
{
    auto found = ids_.find(name);
    if (found != ids_.end()) {
        return found->second;
    }
    uint32_t id = static_cast<uint32_t>(names_.size());
    names_.emplace_back(name);
    ids_.emplace(std::string_view(names_.back()), id);
    return id;
}

uint32_t NameTable::Find(std::string_view name) const
{
    auto found = ids_.find(name);
    return found != ids_.end() ? found->second : kAbsent;
}
