// One string resource, loaded into a buffer of its own for a single use.
#pragma once

#include "platform/win32.h"

constexpr int kResourceStringSize = 256;

class ResourceString {
public:
    // Loads string `id` of the running module; a missing string gives the empty text.
    explicit ResourceString(UINT id);
    virtual ~ResourceString();
    ResourceString(const ResourceString&) = delete;
    ResourceString& operator=(const ResourceString&) = delete;

    char* text;  // kResourceStringSize bytes, always terminated; read directly by the user
};
