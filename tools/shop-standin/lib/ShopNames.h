// How the shop reads the names it is sent, so the stand-in answers them as
// the shop does. Pure functions; any thread.
//
// The stand-in stores names as they were sent (its admin state shows what the
// adaptor sent); its shop answers show them the shop's way, and categories
// are compared by the shop's form when it looks for a duplicate.
#pragma once

#include <string>

namespace ooa::standin {

// A category (term) name as the shop keeps and answers it: tags stripped
// (a "<" that opens no tag becomes "&lt;"), percent-encoded octets removed,
// runs of blanks, tabs and line breaks made one blank, trimmed, then "&",
// "<" and ">" written as entities ("Beer & Cider" -> "Beer &amp; Cider";
// an entity already written stays as it is).
std::string ShopTermName(const std::string& sent);

// A product name as the shop answers it: its markup is kept, but a bare "&"
// becomes "&amp;" ("Fish & Chips" -> "Fish &amp; Chips").
std::string ShopPostTitle(const std::string& sent);

}  // namespace ooa::standin
