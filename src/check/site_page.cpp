#include "check/site_page.h"

#include <algorithm>
#include <cstdio>

#include "check/text_format.h"
#include "version.h"

namespace {

const char* const kStateColours[kSiteStates] = {"#2e7d32", "#1565c0", "#c62828",
                                                "#f9a825", "#757575", "#bdbdbd"};

const char kStyle[] =
    "body{font:15px/1.45 system-ui,-apple-system,'Segoe UI',sans-serif;color:#1b1b1b;"
    "margin:1.5em auto;max-width:64em;padding:0 1em}"
    "h1{font-size:1.6em;margin:.2em 0}h2{font-size:1.25em;margin:1.6em 0 .4em;"
    "border-bottom:1px solid #ccc}h3{font-size:1.05em;margin:1.1em 0 .3em}"
    "table{border-collapse:collapse;margin:.4em 0 1em}caption{text-align:left;"
    "font-weight:600;padding:.2em 0}th,td{border:1px solid #ccc;padding:.2em .6em;"
    "text-align:left;vertical-align:top}td.n{text-align:right}"
    "th{background:#f3f3f3}.note{color:#555}.claim{background:#fff8e1;border:1px solid #f0d58c;"
    "padding:.5em .8em}svg{display:block;max-width:100%;height:auto}"
    ".key span{display:inline-block;margin-right:1em}.key b{font-size:1.2em}"
    "@media print{body{margin:0;max-width:none;font-size:11pt}section{break-inside:avoid}"
    ".claim{border-color:#999}th{background:#eee}}";

std::string Number(unsigned long long value)
{
    return std::to_string(value);
}

std::string Cell(const std::string& text, bool number = false)
{
    return std::string(number ? "<td class=\"n\">" : "<td>") + HtmlText(text) + "</td>";
}

std::string HeaderRow(std::initializer_list<const char*> names)
{
    std::string row = "<thead><tr>";
    for (const char* name : names) {
        row += std::string("<th scope=\"col\">") + name + "</th>";
    }
    return row + "</tr></thead>";
}

// An SVG element with its title, which a screen reader gives and a browser shows on hover.
std::string SvgOpen(const std::string& id, int width, int height, const std::string& title)
{
    return "<svg xmlns=\"http://www.w3.org/2000/svg\" role=\"img\" id=\"" + id +
           "\" aria-label=\"" + HtmlText(title) + "\" viewBox=\"0 0 " + std::to_string(width) +
           " " + std::to_string(height) + "\" width=\"" + std::to_string(width) + "\" height=\"" +
           std::to_string(height) + "\"><title>" + HtmlText(title) + "</title>";
}

std::string Rect(double x, double y, double width, double height, const char* fill,
                 const std::string& title)
{
    char text[160];
    std::snprintf(text, sizeof text,
                  "<rect x=\"%.1f\" y=\"%.1f\" width=\"%.1f\" height=\"%.1f\" fill=\"%s\">", x, y,
                  width, height, fill);
    return text + std::string("<title>") + HtmlText(title) + "</title></rect>";
}

std::string SvgText(double x, double y, const std::string& text, const char* anchor = "start")
{
    char head[120];
    std::snprintf(head, sizeof head,
                  "<text x=\"%.1f\" y=\"%.1f\" font-size=\"11\" text-anchor=\"%s\">", x, y, anchor);
    return head + HtmlText(text) + "</text>";
}

std::string StateKey()
{
    std::string key = "<p class=\"key\">";
    for (size_t state = 0; state < kSiteStates; ++state) {
        key += std::string("<span><b aria-hidden=\"true\" style=\"color:") + kStateColours[state] +
               "\">&#9632;</b> " + SiteStateWord(static_cast<SiteState>(state)) + "</span>";
    }
    return key + "</p>";
}

std::string StateBar(const SiteApplication& application, const std::string& id)
{
    unsigned total = 0;
    for (unsigned count : application.counts) {
        total += count;
    }
    std::string svg = SvgOpen(id, 240, 18,
                              application.name + ": computers by state, " + Number(total) +
                                  " in all");
    double x = 0;
    for (size_t state = 0; state < kSiteStates && total != 0; ++state) {
        double width = 240.0 * application.counts[state] / total;
        if (width > 0) {
            std::string word = SiteStateWord(static_cast<SiteState>(state));
            svg += Rect(x, 1, width, 16, kStateColours[state],
                        Number(application.counts[state]) + " " + word);
            x += width;
        }
    }
    return svg + "</svg>";
}

std::string ApplicationTables(const Site& site)
{
    std::string states = "<table><caption>Computers by state, per application</caption>" +
                         HeaderRow({"application", "computers by state", "current", "due",
                                    "failing", "in progress", "not due", "skipped",
                                    "master written"}) +
                         "<tbody>";
    std::string versions = "<table><caption>Computers by installed version</caption>" +
                           HeaderRow({"application", "installed version", "computers"}) + "<tbody>";
    for (size_t i = 0; i < site.applications.size(); ++i) {
        const SiteApplication& application = site.applications[i];
        states += "<tr><th scope=\"row\">" + HtmlText(application.name) + "</th><td>" +
                  StateBar(application, "bar" + std::to_string(i)) + "</td>";
        for (unsigned count : application.counts) {
            states += Cell(Number(count), true);
        }
        states += Cell(application.master ? FormatMoment(application.master) : "not known") +
                  "</tr>";
        for (const auto& version : application.versions) {
            versions += "<tr>" + Cell(application.name) + Cell(version.first) +
                        Cell(Number(version.second), true) + "</tr>";
        }
    }
    if (versions.find("<tr>", versions.find("<tbody>")) == std::string::npos) {
        versions += "<tr><td colspan=\"3\">none reported</td></tr>";
    }
    return states + "</tbody></table>" + versions + "</tbody></table>";
}

// The days of the log, from the first launch of any application to the last, so that every
// chart has the same axis.
std::pair<uint32_t, uint32_t> LoggedDays(const Site& site)
{
    uint32_t first = 0, last = 0;
    for (const SiteApplication& application : site.applications) {
        if (!application.perDay.empty()) {
            uint32_t begin = application.perDay.begin()->first;
            first = first == 0 ? begin : std::min(first, begin);
            last = std::max(last, application.perDay.rbegin()->first);
        }
    }
    return {first, last};
}

std::string DayChart(const SiteApplication& application, size_t index,
                     std::pair<uint32_t, uint32_t> range)
{
    if (application.perDay.empty()) {
        return "<p class=\"note\">No launches of " + HtmlText(application.name) +
               " in the install log.</p>";
    }
    uint32_t firstDay = range.first;
    uint32_t lastDay = range.second;
    long days = DaysBetween(Moment{firstDay} * 1000000u, Moment{lastDay} * 1000000u) + 1;
    unsigned long long most = 1;
    for (const auto& day : application.perDay) {
        most = std::max(most, day.second);
    }
    const double width = 640, height = 150, top = 16, bottom = 20;
    double slot = width / static_cast<double>(days);
    std::string id = "days" + std::to_string(index);
    std::string svg = SvgOpen(id, static_cast<int>(width), static_cast<int>(height),
                              application.name + ": launches per day, " + FormatDay(firstDay) +
                                  " to " + FormatDay(lastDay) + ", at most " + Number(most) +
                                  " a day");
    for (const auto& day : application.perDay) {
        double x = slot * static_cast<double>(DaysBetween(Moment{firstDay} * 1000000u,
                                                          Moment{day.first} * 1000000u));
        double barHeight = (height - top - bottom) * static_cast<double>(day.second) /
                           static_cast<double>(most);
        svg += Rect(x, height - bottom - barHeight, std::max(slot - 1, 1.0), barHeight, "#1565c0",
                    FormatDay(day.first) + ": " + Number(day.second) + " launches");
    }
    if (application.master != 0 && DayOf(application.master) >= firstDay &&
        DayOf(application.master) <= lastDay) {
        double x = slot * static_cast<double>(DaysBetween(Moment{firstDay} * 1000000u,
                                                          application.master)) +
                   slot / 2;
        char line[160];
        std::snprintf(line, sizeof line,
                      "<line x1=\"%.1f\" y1=\"%.1f\" x2=\"%.1f\" y2=\"%.1f\" stroke=\"#c62828\" "
                      "stroke-width=\"2\" stroke-dasharray=\"4 3\"/>",
                      x, top - 4, x, height - bottom);
        svg += line;
        svg += SvgText(std::min(x + 4, width - 4), 11,
                       "master written " + FormatDay(DayOf(application.master)),
                       x > width - 160 ? "end" : "start");
    }
    svg += SvgText(0, height - 4, FormatDay(firstDay));
    svg += SvgText(width, height - 4, FormatDay(lastDay), "end");
    return "<h3>" + HtmlText(application.name) + "</h3>" + svg + "</svg>";
}

std::string BusiestHourChart(const Site& site)
{
    const LogSummary::BusiestHour& busiest = site.busiest;
    if (busiest.hour == 0) {
        return "<p class=\"note\">No launches in the install log.</p>";
    }
    std::string hour = FormatMoment(busiest.hour * 10000).substr(0, 13) + ":00";
    unsigned most = 1;
    for (unsigned count : busiest.perMinute) {
        most = std::max(most, count);
    }
    std::string svg = SvgOpen("busiest", 640, 150,
                              "Launches per minute in the busiest hour, " + hour + ": " +
                                  Number(busiest.launches) + " in all, at most " + Number(most) +
                                  " in one minute");
    for (size_t minute = 0; minute < 60; ++minute) {
        double barHeight = 114.0 * busiest.perMinute[minute] / most;
        svg += Rect(static_cast<double>(minute) * 640.0 / 60, 130 - barHeight, 640.0 / 60 - 1,
                    barHeight, "#6a1b9a",
                    ":" + std::string(minute < 10 ? "0" : "") + std::to_string(minute) + " " +
                        Number(busiest.perMinute[minute]) + " launches");
    }
    svg += SvgText(0, 146, hour) + SvgText(640, 146, "+59 min", "end") + "</svg>";
    return svg + "<p>" + Number(busiest.launches) + " launches in the busiest hour, " + hour +
           "; at most " + Number(most) +
           " in one minute. SpreadSeconds in force: " + Number(site.spreadSeconds) +
           (site.spreadSeconds == 0 ? " (no spread: workstations that log on together reach "
                                      "the share together)."
                                    : ".") +
           "</p>";
}

std::string FailureTable(const Site& site)
{
    if (site.failures.empty()) {
        return "<p>No failures reported.</p>";
    }
    std::string html = "<table><caption>Failures by reason, with the fix</caption>" +
                       HeaderRow({"reason", "computers", "applications", "fix"}) + "<tbody>";
    for (const SiteFailure& failure : site.failures) {
        std::string applications;
        for (const std::string& name : failure.applications) {
            applications += (applications.empty() ? "" : ", ") + name;
        }
        html += "<tr>" + Cell(failure.reason) + Cell(Number(failure.computers), true) +
                Cell(applications) + Cell(failure.fix.empty() ? "no advice" : failure.fix) +
                "</tr>";
    }
    return html + "</tbody></table>";
}

std::string ComputerTables(const Site& site)
{
    std::string stale = "<table><caption>Computers not seen for more than " +
                        Number(site.staleDays) + " days</caption>" +
                        HeaderRow({"computer", "last seen"}) + "<tbody>";
    std::string all = "<table><caption>Every computer, last seen</caption>" +
                      HeaderRow({"computer", "last seen", "accounts reporting"}) + "<tbody>";
    size_t staleCount = 0;
    for (const SiteComputer& computer : site.computers) {
        std::string users;
        for (const std::string& user : computer.users) {
            users += (users.empty() ? "" : ", ") + user;
        }
        if (computer.stale) {
            ++staleCount;
            stale += "<tr>" + Cell(computer.name) + Cell(FormatMoment(computer.lastSeen)) + "</tr>";
        }
        all += "<tr>" + Cell(computer.name) + Cell(FormatMoment(computer.lastSeen)) + Cell(users) +
               "</tr>";
    }
    stale += staleCount == 0 ? "<tr><td colspan=\"2\">none</td></tr>" : "";
    all += site.computers.empty() ? "<tr><td colspan=\"3\">none</td></tr>" : "";
    return stale + "</tbody></table>" + all + "</tbody></table>";
}

std::string LoopTable(const Site& site)
{
    std::string rows;
    for (const SiteApplication& application : site.applications) {
        for (const auto& item : application.computers) {
            if (item.second.loopStarts != 0) {
                rows += "<tr>" + Cell(application.name) + Cell(item.first) +
                        Cell(Number(item.second.loopStarts), true) + "</tr>";
            }
        }
    }
    std::string html = "<p>An entry started at least three times on one computer since its "
                       "master was last written. Receiving one release after another is no "
                       "loop.</p>";
    if (rows.empty()) {
        return html + "<p>None found.</p>";
    }
    return html + "<table><caption>Re-install loops</caption>" +
           HeaderRow({"application", "computer", "starts for one master"}) + "<tbody>" + rows +
           "</tbody></table>";
}

std::string Sources(const Site& site)
{
    std::string html = "<p>" + Number(site.reports) + " pass reports from " +
                       HtmlText(site.reportFolder) + "; ";
    html += site.logRead
                ? "the install log " + HtmlText(site.logPath) + " (" + Number(site.launches) +
                      " launches)"
                : "no install log" + (site.logWhy.empty() ? std::string()
                                                          : " (" + HtmlText(site.logPath) + ": " +
                                                                HtmlText(site.logWhy) + ")");
    html += ". Made " + FormatMoment(site.now) + " by quorvel-check " + QUORVEL_VERSION_TEXT +
            ".</p>";
    html += "<p class=\"claim\">Reports are what the workstations claim: anyone who can write "
            "the report folder can write a report, so treat a surprising figure as a lead to "
            "check on the computer itself.</p>";
    if (!site.folderError.empty()) {
        html += "<p>The report folder could not be read: " + HtmlText(site.folderError) + ".</p>";
    }
    if (!site.refused.empty()) {
        html += "<p>Files left out (" + Number(site.refused.size()) + "):</p><ul>";
        for (size_t i = 0; i < site.refused.size() && i < 20; ++i) {
            html += "<li>" + HtmlText(site.refused[i]) + "</li>";
        }
        html += site.refused.size() > 20 ? "<li>...</li></ul>" : "</ul>";
    }
    return html;
}

}  // namespace

std::string HtmlText(const std::string& text)
{
    std::string html;
    for (size_t i = 0; i < text.size();) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        size_t length = c < 0x80         ? 1
                        : (c >> 5) == 6  ? 2
                        : (c >> 4) == 14 ? 3
                        : (c >> 3) == 30 ? 4
                                         : 0;
        bool valid = length != 0 && i + length <= text.size();
        for (size_t k = 1; valid && k < length; ++k) {
            valid = (static_cast<unsigned char>(text[i + k]) & 0xC0) == 0x80;
        }
        if (!valid || (length == 1 && (c < 0x20 || c == 0x7F))) {
            html += "&#xFFFD;";
            ++i;
            continue;
        }
        switch (c) {
        case '&':
            html += "&amp;";
            break;
        case '<':
            html += "&lt;";
            break;
        case '>':
            html += "&gt;";
            break;
        case '"':
            html += "&quot;";
            break;
        case '\'':
            html += "&#39;";
            break;
        default:
            html.append(text, i, length);
        }
        i += length;
    }
    return html;
}

std::string SitePage(const Site& site)
{
    std::string html = "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
                       "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
                       "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src "
                       "'none'; style-src 'unsafe-inline'\">\n"
                       "<title>Rollout at a glance</title>\n<style>";
    html += kStyle;
    html += "</style>\n</head>\n<body>\n<header><h1>Rollout at a glance</h1>" + Sources(site) +
            "</header>\n<main>\n<section><h2>Per application</h2>" + StateKey();
    if (site.reports == 0) {
        html += "<p>No pass report was read: the states come from the reports (ReportFolder), "
                "so only re-install loops found in the install log are counted here.</p>";
    }
    html += site.applications.empty() ? "<p>No application reported or launched.</p>"
                                      : ApplicationTables(site);
    html += "</section>\n<section><h2>Launches per day</h2><p>From the install log; the dashed "
            "line marks the day the current master was written, when it falls in the log's "
            "days. A bar's title gives its day and count.</p>";
    for (size_t i = 0; i < site.applications.size(); ++i) {
        html += DayChart(site.applications[i], i, LoggedDays(site));
    }
    html += "</section>\n<section><h2>Failures by reason, with the fix</h2>" + FailureTable(site) +
            "</section>\n<section><h2>Computers</h2>" + ComputerTables(site) +
            "</section>\n<section><h2>Re-install loops</h2>" + LoopTable(site) +
            "</section>\n<section><h2>The busiest hour</h2>" + BusiestHourChart(site) +
            "</section>\n</main>\n</body>\n</html>\n";
    return html;
}
