#include "GroupQuery.h"

#include <QRegularExpression>
#include <QStringList>

namespace qs::db {

namespace {

// The element is found whole: a separator or the entry's edge on both sides.
bool EntryHolds(const QString& entry, const QString& element) {
    qsizetype from = 0;
    while (true) {
        const qsizetype at = entry.indexOf(element, from, Qt::CaseSensitive);
        if (at < 0) return false;
        const qsizetype end = at + element.size();
        const bool before = at == 0 || entry[at - 1] == '/' || entry[at - 1] == ',';
        const bool after = end == entry.size() || entry[end] == '/' || entry[end] == ',';
        if (before && after) return true;
        from = at + 1;
        if (element.isEmpty() && from > entry.size()) return false;
    }
}

// An empty element (a profile with a trailing separator, or two separators
// in a row) is found only between two adjacent separators or after a
// trailing one.
bool EntryHoldsEmpty(const QString& entry) {
    for (qsizetype i = 0; i + 1 < entry.size(); ++i)
        if ((entry[i] == '/' || entry[i] == ',') && (entry[i + 1] == '/' || entry[i + 1] == ','))
            return true;
    return !entry.isEmpty() && (entry.back() == '/' || entry.back() == ',');
}

}  // namespace

bool MatchGroupQuery(const QString& profileIn, const QString& query) {
    if (query.size() < 2) return false;
    QString profile = profileIn;
    if (!profile.isEmpty() && (profile[0] == '/' || profile[0] == ',')) profile.remove(0, 1);
    if (profile.isEmpty()) return false;
    static const QRegularExpression separators("[/,]");
    const QStringList elements = profile.split(separators);
    for (const QString& entry : query.split(';')) {
        if (entry.isEmpty()) continue;
        bool all = true;
        for (const QString& element : elements) {
            const bool found = element.isEmpty() ? EntryHoldsEmpty(entry) : EntryHolds(entry, element);
            if (!found) {
                all = false;
                break;
            }
        }
        if (all) return true;
    }
    return false;
}

}  // namespace qs::db
