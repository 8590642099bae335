#include "update/resource_string.h"

#include <new>

#include "core/run_settings.h"

namespace {
// Stands in when the buffer cannot be allocated, so the text is always readable.
char gNoText[1] = "";
}  // namespace

ResourceString::ResourceString(UINT id) : text(new (std::nothrow) char[kResourceStringSize])
{
    if (text == nullptr) {
        text = gNoText;
        return;
    }
    if (LoadStringA(gRunSettings.instance, id, text, kResourceStringSize) == 0) {
        text[0] = '\0';
    }
}

ResourceString::~ResourceString()
{
    if (text != gNoText) {
        delete[] text;
    }
}
