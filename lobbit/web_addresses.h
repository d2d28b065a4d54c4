// The two web addresses of the menu, named once here: the maker's site that the grid's "collect" button
// opens, and the score service that the hall of fame's upload sends the best score to (only the path
// "/cgi-bin/hiscore.cgi" and the query are fixed; no such service comes with the package).
#pragma once

constexpr const char* kMakerSiteAddress = "http://www.plovix.example/";
constexpr const char* kScoreServicePrefix = "http://scores.plovix.example/cgi-bin/hiscore.cgi?";
