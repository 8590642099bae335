#include "check/manifest_text.h"

#include <vector>

namespace {

// UTF-16 LE with its mark is read by its low bytes, which is all an ASCII manifest holds.
std::string AsNarrowText(const std::string& bytes)
{
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        return bytes.substr(3);
    }
    if (bytes.compare(0, 2, "\xFF\xFE") != 0) {
        return bytes;
    }
    std::string text;
    for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
        text += bytes[i + 1] == 0 ? bytes[i] : '?';
    }
    return text;
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool IsNameChar(char c)
{
    return !IsBlank(c) && c != '/' && c != '>' && c != '=' && c != '<' && c != '"' && c != '\'' &&
           c != '\0';
}

std::string LocalName(const std::string& name)
{
    size_t colon = name.find(':');
    return colon == std::string::npos ? name : name.substr(colon + 1);
}

ExecutionLevel LevelOf(const std::string& text)
{
    if (text == "asInvoker") {
        return ExecutionLevel::AsInvoker;
    }
    if (text == "highestAvailable") {
        return ExecutionLevel::HighestAvailable;
    }
    return text == "requireAdministrator" ? ExecutionLevel::RequireAdministrator
                                          : ExecutionLevel::Unknown;
}

class ManifestScanner {
public:
    explicit ManifestScanner(std::string text) : text_(std::move(text)) {}

    ManifestReading Scan()
    {
        bool wellFormed = true;
        while (wellFormed && at_ < text_.size()) {
            if (text_[at_] != '<') {
                // Outside the root element only blanks may stand.
                wellFormed = !open_.empty() || IsBlank(text_[at_]);
                ++at_;
            } else {
                wellFormed = Markup();
            }
        }
        reading_.wellFormed = wellFormed && open_.empty() && roots_ == 1;
        return reading_;
    }

private:
    bool SkipPast(const char* end)
    {
        size_t found = text_.find(end, at_);
        at_ = found == std::string::npos ? text_.size() : found + std::string(end).size();
        return found != std::string::npos;
    }

    std::string Name()
    {
        size_t start = at_;
        while (at_ < text_.size() && IsNameChar(text_[at_])) {
            ++at_;
        }
        return text_.substr(start, at_ - start);
    }

    void SkipBlanks()
    {
        while (at_ < text_.size() && IsBlank(text_[at_])) {
            ++at_;
        }
    }

    bool Markup()
    {
        if (text_.compare(at_, 2, "<?") == 0) {
            return SkipPast("?>");
        }
        if (text_.compare(at_, 4, "<!--") == 0) {
            return SkipPast("-->");
        }
        if (text_.compare(at_, 9, "<![CDATA[") == 0) {
            return !open_.empty() && SkipPast("]]>");
        }
        if (text_.compare(at_, 2, "<!") == 0) {
            return open_.empty() && SkipPast(">");
        }
        if (text_.compare(at_, 2, "</") == 0) {
            at_ += 2;
            std::string name = Name();
            SkipBlanks();
            if (open_.empty() || open_.back() != name || at_ >= text_.size() || text_[at_] != '>') {
                return false;
            }
            open_.pop_back();
            ++at_;
            return true;
        }
        ++at_;
        return Element();
    }

    // An element's start tag, after its '<'.
    bool Element()
    {
        std::string name = Name();
        if (name.empty() || (open_.empty() && roots_++ > 0)) {
            return false;
        }
        bool levelElement = LocalName(name) == "requestedExecutionLevel";
        for (;;) {
            SkipBlanks();
            if (at_ >= text_.size()) {
                return false;
            }
            if (text_.compare(at_, 2, "/>") == 0) {
                at_ += 2;
                return true;
            }
            if (text_[at_] == '>') {
                ++at_;
                open_.push_back(name);
                return true;
            }
            std::string attribute = Name();
            SkipBlanks();
            if (attribute.empty() || at_ >= text_.size() || text_[at_] != '=') {
                return false;
            }
            ++at_;
            SkipBlanks();
            if (at_ >= text_.size() || (text_[at_] != '"' && text_[at_] != '\'')) {
                return false;
            }
            size_t close = text_.find(text_[at_], at_ + 1);
            if (close == std::string::npos) {
                return false;
            }
            std::string value = text_.substr(at_ + 1, close - at_ - 1);
            at_ = close + 1;
            if (levelElement && attribute == "level") {
                reading_.levelText = value;
                reading_.level = LevelOf(value);
            }
        }
    }

    std::string text_;
    size_t at_ = 0;
    std::vector<std::string> open_;
    unsigned roots_ = 0;
    ManifestReading reading_;
};

}  // namespace

ManifestReading ReadManifestText(const std::string& bytes)
{
    return ManifestScanner(AsNarrowText(bytes)).Scan();
}
