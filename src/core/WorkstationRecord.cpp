#include "WorkstationRecord.h"

#include "Text.h"

#include <QHash>
#include <QSet>
#include <QStringList>

#include <algorithm>
#include <limits>

namespace vantrel {

bool WorkstationRecord::answered() const {
    // Only a total loss of 0 % answers; a summary in another form reads "####".
    return swept && leadingNumber(loss) <= 0 && loss != QLatin1String("####");
}

int errorCount(const PassRecords& records) {
    if (records.failedBeforeServing) {
        return 1;
    }
    return static_cast<int>(std::count_if(records.begin(), records.end(),
                                          [](const WorkstationRecord& r) { return r.failed(); }));
}

PassRecords recordsFor(const QStringList& names) {
    PassRecords records;
    records.reserve(static_cast<size_t>(names.size()));
    QSet<QString> seen;
    seen.reserve(names.size());
    for (const QString& name : names) {
        WorkstationRecord& record = records.emplace_back();
        record.name = name;
        const qsizetype before = seen.size();
        seen.insert(name.toCaseFolded());
        if (seen.size() == before) {
            record.fate = WorkstationRecord::Fate::Duplicate;
        }
    }
    return records;
}

namespace {

// A host name as the resolver takes it: without regard to case, "pc03.zone.test." the
// absolute form of "pc03.zone.test".
QString hostKey(const QString& name) {
    QString key = name.toCaseFolded();
    if (key.endsWith(QLatin1Char('.'))) {
        key.chop(1);
    }
    return key;
}

// The entries reached so far, in the order they were reached, found by name or by address
// without going through them all, a list may hold 100,000 names.
class ReachedWorkstations {
public:
    void add(const WorkstationRecord& record) {
        const size_t place = order_.size();
        order_.push_back(&record);
        const QString key = hostKey(record.name);
        if (!byName_.contains(key)) {
            byName_.insert(key, place);
        }
        if (!record.address.isEmpty() && !byAddress_.contains(record.address)) {
            byAddress_.insert(record.address, place);
        }
    }
    // The first entry reached with the same name, or the same address once resolved.
    const WorkstationRecord* first(const WorkstationRecord& record) const {
        constexpr size_t kNone = std::numeric_limits<size_t>::max();
        size_t place = byName_.value(hostKey(record.name), kNone);
        if (!record.address.isEmpty()) {
            place = std::min(place, byAddress_.value(record.address, kNone));
        }
        return place == kNone ? nullptr : order_[place];
    }

private:
    std::vector<const WorkstationRecord*> order_;
    QHash<QString, size_t> byName_;
    QHash<QByteArray, size_t> byAddress_;
};

} // namespace

void markSameWorkstations(PassRecords& records, const PassRecords& cycle) {
    using Fate = WorkstationRecord::Fate;
    QSet<QString> inPass;
    for (const WorkstationRecord& r : records) {
        inPass.insert(r.name.toCaseFolded());
    }
    // Those an earlier pass served, then the pass's own entries in list order (one
    // that is another's workstation stands for that one: a name that led nowhere is
    // still the same name with a final dot).
    ReachedWorkstations reached;
    for (const WorkstationRecord& r : cycle) {
        if (r.fate == Fate::Served && !inPass.contains(r.name.toCaseFolded())) {
            reached.add(r);
        }
    }
    for (WorkstationRecord& record : records) {
        if (record.fate == Fate::Duplicate || !record.swept) {
            continue;
        }
        if (const WorkstationRecord* first = reached.first(record)) {
            record.fate = Fate::SameWorkstation;
            record.sameAs = first->fate == Fate::SameWorkstation ? first->sameAs : first->name;
        }
        reached.add(record);
    }
}

void landInCycle(PassRecords& cycle, const PassRecords& pass) {
    cycle.failedBeforeServing = pass.failedBeforeServing; // the latest pass's
    QHash<QString, size_t> where;
    where.reserve(static_cast<qsizetype>(cycle.size()));
    for (size_t i = 0; i < cycle.size(); ++i) {
        if (cycle[i].fate != WorkstationRecord::Fate::Duplicate) {
            where.insert(cycle[i].name.toCaseFolded(), i);
        }
    }
    for (const WorkstationRecord& record : pass) {
        if (record.fate == WorkstationRecord::Fate::Duplicate) {
            continue;
        }
        const auto found = where.constFind(record.name.toCaseFolded());
        if (found != where.constEnd()) {
            cycle[found.value()] = record;
        }
    }
}

PassRecords cycleWithPass(const PassRecords& cycle, const PassRecords& pass) {
    PassRecords laid = cycle;
    landInCycle(laid, pass);
    return laid;
}

} // namespace vantrel
