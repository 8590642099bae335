// What the site summaries read from workstations, over any bytes: as a pass report, as install
// log lines and as text for the page. A report is accepted only under its own name with an end
// time; every line is counted once, as understood or not; page text carries no markup.
#include <cstring>
#include <string>

#include "check/log_summary.h"
#include "check/site_page.h"
#include "check/site_reports.h"
#include "fuzz_scratch.h"
#include "update/report_file_name.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);

    ReportedPass pass;
    std::string why;
    if (ParseReport("PC1.u.csv", text, &pass, &why)) {
        FUZZ_CHECK(ReportFileName(pass.computer, pass.user) == "PC1.u.csv");
        FUZZ_CHECK(pass.end != 0);
    } else {
        FUZZ_CHECK(!why.empty());
    }

    LogSummary summary;
    unsigned long long lines = 0;
    for (size_t at = 0; at < text.size();) {
        size_t end = text.find('\n', at);
        end = end == std::string::npos ? text.size() : end;
        if (end > at) {
            summary.AddLine(std::string_view(text).substr(at, end - at), ++lines);
        }
        at = end + 1;
    }
    FUZZ_CHECK(summary.understood + summary.unparsed == lines);
    unsigned long long launches = 0;
    for (const LogSummary::Application& application : summary.Applications()) {
        launches += application.launches;
        FUZZ_CHECK(!application.name.empty());
    }
    FUZZ_CHECK(launches == summary.understood);

    std::string html = HtmlText(text);
    for (char c : html) {
        FUZZ_CHECK(c != '<' && c != '>' && c != '"' && c != '\'' &&
                   (static_cast<unsigned char>(c) >= 0x20 && c != 0x7F));
    }
    return 0;
}
