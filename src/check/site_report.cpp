#include "check/site_report.h"

#include <cstdio>

#include "check/check_driver.h"
#include "check/log_summary.h"
#include "check/master_moments.h"
#include "check/site_page.h"
#include "check/site_reports.h"
#include "check/site_summary.h"
#include "core/spread_setting.h"
#include "update/pass_report.h"

int ReportSite(const CheckRequest& request, const OptionReport& options, std::string* out)
{
    SiteReports reports = ReadSiteReports(request.siteFolder);
    LogSummary summary;
    SetMastersFromSettings(options.settingsPath, &summary);
    SetMastersFromReports(reports, &summary);
    LogReading reading;
    if (options.logOn) {
        reading = SummariseLog(options.logPath, request.maxLogMiB << 20, &summary);
    }
    SYSTEMTIME now;
    GetLocalTime(&now);
    Site site = BuildSite(reports, summary, MomentFromText(FormatSystemTime(now)),
                          request.staleDays);
    site.reportFolder = request.siteFolder;
    site.logPath = options.logOn ? options.logPath : "";
    site.logRead = reading.read;
    site.logWhy = reading.why;
    site.spreadSeconds = ReadSpreadSetting(options.settingsPath.c_str()).seconds;
    int status = site.folderError.empty() && site.failures.empty() ? 0 : kProblemBit;
    if (!request.htmlPath.empty()) {
        std::string page = SitePage(site);
        FILE* file = std::fopen(request.htmlPath.c_str(), "wb");
        bool written = file != nullptr &&
                       std::fwrite(page.data(), 1, page.size(), file) == page.size();
        written = file != nullptr && std::fclose(file) == 0 && written;
        *out += written ? "Site page written to " + request.htmlPath + "\n"
                        : "Site page " + request.htmlPath + ": cannot be written\n";
        status |= written ? 0 : kProblemBit;
    }
    *out += request.csv ? SiteCsv(site) : SiteText(site);
    return status;
}
