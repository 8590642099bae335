// The site as one self-contained HTML page: inline CSS and SVG charts, no script, nothing
// fetched; every table has a caption and header cells, every chart a title.
#pragma once

#include <string>

#include "check/site_summary.h"

std::string SitePage(const Site& site);

// Text for HTML: markup characters escaped, control bytes and bytes that are not UTF-8 shown
// as U+FFFD.
std::string HtmlText(const std::string& text);
