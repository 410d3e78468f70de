#pragma once
// The rule that decides whether a group query admits a profile.
//
// A query text is entries separated by ";"; a profile name and an entry are
// elements separated by "/" or "," (which one never matters; a profile may
// begin with one separator, which is not part of its first element). A
// profile falls within the query when one entry holds every element of the
// profile, whole, in any order. Letter case counts.
//
// An element at the very start of an entry counts like any other: the
// entry "A/B" admits A, as whoever wrote it meant.
#include <QString>

namespace qs::db {

bool MatchGroupQuery(const QString& profile, const QString& query);

}  // namespace qs::db
