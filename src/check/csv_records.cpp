#include "check/csv_records.h"

bool NextCsvRecord(std::string_view text, size_t* at, std::vector<std::string>* fields)
{
    fields->clear();
    if (*at >= text.size()) {
        return false;
    }
    std::string field;
    bool quoted = false;
    size_t i = *at;
    for (; i < text.size(); ++i) {
        char c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                field += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            fields->push_back(std::move(field));
            field.clear();
        } else if (c == '\n' || (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) {
            i += c == '\r' ? 2 : 1;
            break;
        } else {
            field += c;
        }
    }
    fields->push_back(std::move(field));
    *at = i;
    return true;
}
