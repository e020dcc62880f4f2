#include "records/record_check.h"

#include "records/record_line.h"
#include "records/record_time.h"

#include <QByteArray>

#include <algorithm>
#include <array>
#include <map>
#include <optional>
#include <vector>

namespace
{

bool InRange(qint32 value, qint32 low, qint32 high)
{
    return value >= low && value <= high;
}

const qint32* RecordAt(std::span<const qint32> values, int k)
{
    return values.data() + size_t(k) * ValuesPerRecord;
}

constexpr qint32 FirstNoMeasureCode = 251;
// How many records on a run's start is confirmed.
constexpr int RunLookAhead = 3;

// Decimal parts of two digits when most of them are above 9.
bool TwoDigitDecimals(std::span<const qint32> values, int records)
{
    qint64 above = 0;
    for (int k = 0; k < records; ++k) {
        const qint32* v = RecordAt(values, k);
        above += (v[5] > 9 && v[5] <= 99) + (v[7] > 9 && v[7] <= 99);
    }
    return above * 2 > qint64(records) * 2;
}

// A measure in its range, or one of the logger's codes above 250 (no measure; read as 0).
bool MeasureInRange(qint32 value, qint32 low, qint32 high)
{
    return InRange(value, low, high) || InRange(value, FirstNoMeasureCode, 255);
}

// Position `position` of a record holds `value` in the logger's range.
bool FieldInRange(int position, qint32 value, bool twoDigitDecimals)
{
    const qint32 lastDecimal = twoDigitDecimals ? 99 : 9;
    switch (position) {
    case 0:
        return InRange(value, 1, 31);
    case 1:
        return InRange(value, 1, 12);
    case 2:
        return InRange(value, 0, 23);
    case 3:
        return InRange(value, 0, 59);
    case 4:
        return MeasureInRange(value, LowestTemperature, HighestTemperature);
    case 6:
        return MeasureInRange(value, 0, 100);
    default:
        return MeasureInRange(value, 0, lastDecimal);
    }
}

bool FieldsInRange(const qint32* v, bool twoDigitDecimals)
{
    for (int position = 0; position < ValuesPerRecord; ++position)
        if (!FieldInRange(position, v[position], twoDigitDecimals))
            return false;
    return true;
}

// The usual step is named only when it is seen twice or more, more often than any other, and
// is a period the logger can have.
bool StepConfirmed(const std::vector<std::optional<qint64>>& minutes, qint64 step)
{
    if (step <= 0 || step > LongestPeriodMinutes)
        return false;
    std::map<qint64, int> counts;
    for (size_t i = 1; i < minutes.size(); ++i)
        if (minutes[i] && minutes[i - 1] && *minutes[i] > *minutes[i - 1])
            ++counts[*minutes[i] - *minutes[i - 1]];
    const int seen = counts[step];
    return seen >= 2 && std::all_of(counts.begin(), counts.end(), [&](const auto& entry) {
               return entry.first == step || entry.second < seen;
           });
}

} // namespace

RecordCheck CheckRecords(std::span<const qint32> values, int records)
{
    RecordCheck check;
    records = int(std::min<size_t>(size_t(qMax(records, 0)), values.size() / ValuesPerRecord));
    check.records = records;
    check.twoDigitDecimals = TwoDigitDecimals(values, records);

    // The time of each record in range; a record out of range has none and does not move the
    // clock (its date may be a shifted field).
    std::vector<std::optional<qint64>> minutes(static_cast<size_t>(records));
    RecordClock clock;
    for (int k = 0; k < records; ++k) {
        const qint32* v = RecordAt(values, k);
        if (FieldsInRange(v, check.twoDigitDecimals))
            minutes[size_t(k)] = clock.minutes(v[0], v[1], v[2], v[3]);
    }
    check.periodMinutes = UsualStep(minutes);
    check.periodConfirmed = StepConfirmed(minutes, check.periodMinutes);
    const qint64 period = check.periodMinutes;
    const auto follows = [&](int k, qint64 from, int fromIndex) {
        return minutes[size_t(k)] && *minutes[size_t(k)] - from == (k - fromIndex) * period;
    };

    // A record is good when it is in range and on the period counted from the last good one.
    // One in range that starts a new run on the period (a gap in the recording) is counted as
    // suspect once, and the run goes on from it.
    std::optional<std::pair<int, qint64>> base; // index and time of the last good record
    for (int k = 0; k < records; ++k) {
        const bool known = minutes[size_t(k)].has_value();
        bool good = known && (period == 0 || (base && follows(k, base->second, base->first)));
        // Looked for a few records on, so that a damaged record just after this one does
        // not make it look wrong too.
        bool startsRun = false;
        for (int j = k + 1; known && period > 0 && j < std::min(records, k + 1 + RunLookAhead); ++j)
            startsRun = startsRun || follows(j, *minutes[size_t(k)], k);
        if (!good && known && !base && startsRun)
            good = true; // the first run
        if (good || startsRun)
            base = std::pair{k, *minutes[size_t(k)]};
        if (good)
            continue;
        if (check.suspect++ == 0)
            check.firstSuspect = k;
    }
    return check;
}

namespace
{

using Slot = std::optional<qint32>; // nullopt: a value that cannot be known

// The values of a download with one value put back in place: from `at` on, `consumed` received
// values stand for the slots `put`.
class Realigned
{
public:
    Realigned(std::span<const qint32> received, qsizetype at, qsizetype consumed,
              std::span<const Slot> put)
        : m_received(received), m_at(at), m_consumed(consumed), m_put(put)
    {
    }
    qsizetype size() const { return m_received.size() - m_consumed + m_put.size(); }
    Slot at(qsizetype i) const
    {
        if (i < m_at)
            return m_received[size_t(i)];
        if (i < m_at + qsizetype(m_put.size()))
            return m_put[size_t(i - m_at)];
        return m_received[size_t(i - qsizetype(m_put.size()) + m_consumed)];
    }

private:
    std::span<const qint32> m_received;
    qsizetype m_at;
    qsizetype m_consumed;
    std::span<const Slot> m_put;
};

// A value's decimal text read back, when it is exactly the text the logger sends for a value.
std::optional<qint32> SentValue(const QByteArray& text)
{
    bool ok = false;
    const qint32 value = text.toInt(&ok);
    if (!ok || QByteArray::number(value) != text)
        return std::nullopt;
    return value;
}

// The two values a packet of two joined values can have held. A packet that was no number
// holds two unknown values.
std::vector<std::array<Slot, 2>> JoinedPairs(qint32 joined, bool unreadable)
{
    if (unreadable)
        return {{std::nullopt, std::nullopt}};
    const QByteArray text = QByteArray::number(joined);
    std::vector<std::array<Slot, 2>> pairs{{Slot(0), Slot(joined)}}; // "0" then the rest
    for (qsizetype cut = 1; cut < text.size(); ++cut) {
        const auto first = SentValue(text.left(cut));
        const auto second = SentValue(text.mid(cut));
        if (first && second)
            pairs.push_back({first, second});
    }
    return pairs;
}

// The one value two packets held. A piece that was no number ("-") leaves it unknown.
std::optional<Slot> SplitValue(qint32 first, qint32 second, bool unreadable)
{
    if (unreadable)
        return Slot();
    if (second < 0)
        return std::nullopt;
    const auto whole = SentValue(QByteArray::number(first) + QByteArray::number(second));
    return whole ? std::optional<Slot>(whole) : std::nullopt;
}

// Records `from` to `to` (exclusive) of the realigned values are what the logger sends: every
// known value in its range, and every known time on one period.
bool LooksLikeRecords(const Realigned& values, int from, int to, bool twoDigitDecimals)
{
    std::vector<std::optional<qint64>> minutes(size_t(to - from));
    RecordClock clock;
    for (int k = from; k < to; ++k) {
        std::array<std::optional<qint32>, ValuesPerRecord> v;
        for (int position = 0; position < ValuesPerRecord; ++position) {
            v[size_t(position)] = values.at(qsizetype(k) * ValuesPerRecord + position);
            if (v[size_t(position)] &&
                !FieldInRange(position, *v[size_t(position)], twoDigitDecimals))
                return false;
        }
        if (v[0] && v[1] && v[2] && v[3])
            minutes[size_t(k - from)] = clock.minutes(*v[0], *v[1], *v[2], *v[3]);
    }
    const qint64 period = UsualStep(minutes);
    if (period == 0)
        return true;
    std::optional<std::pair<size_t, qint64>> first;
    for (size_t i = 0; i < minutes.size(); ++i) {
        if (!minutes[i])
            continue;
        if (!first)
            first = std::pair{i, *minutes[i]};
        else if (*minutes[i] - first->second != qint64(i - first->first) * period)
            return false;
    }
    return true;
}

// How far a shift is looked for before the first record the check finds wrong, and how many
// records after a candidate position must look right.
constexpr int RecordsBeforeSuspect = 3;
constexpr int RecordsConfirming = 64;

} // namespace

namespace
{

// The first record that does not follow the ones before it: out of range, or off the step
// between the first two. A join or a split lies in it or before it.
int FirstBreak(std::span<const qint32> values, int records, bool twoDigitDecimals)
{
    RecordClock clock;
    std::optional<qint64> first, step;
    for (int k = 0; k < records; ++k) {
        const qint32* v = RecordAt(values, k);
        if (!FieldsInRange(v, twoDigitDecimals))
            return k;
        const auto minutes = clock.minutes(v[0], v[1], v[2], v[3]);
        if (!minutes)
            return k;
        if (!first)
            first = minutes;
        else if (!step)
            step = *minutes - *first;
        if (step && (*step <= 0 || *minutes - *first != *step * k))
            return k;
    }
    return records;
}

// Decimals of two digits are read from the records before the damage, where there are any: the
// shifted ones put other values in the decimals' places.
bool DecimalsOfTwoDigits(std::span<const qint32> values, int records)
{
    const int whole = FirstBreak(values, records, true);
    if (whole == 0)
        return TwoDigitDecimals(values, records);
    for (int k = 0; k < whole; ++k) {
        const qint32* v = RecordAt(values, k);
        if ((v[5] > 9 && v[5] <= 99) || (v[7] > 9 && v[7] <= 99))
            return true;
    }
    return false;
}

} // namespace

int LocateOneValueShift(std::span<const qint32> values, qint64 expected,
                        std::span<const qint32> unreadable)
{
    const qint64 received = qint64(values.size());
    const qint64 rest = received % ValuesPerRecord;
    // One short: a join (also where the logger held fewer records than asked); one long: a
    // value in two packets.
    const bool joined = received == expected - 1 || (received < expected && rest == 7);
    const bool split = received == expected + 1 || (received < expected && rest == 1);
    if (!joined && !split)
        return -1;
    const int wholeRecords = int(received / ValuesPerRecord);
    const bool twoDigitDecimals = DecimalsOfTwoDigits(values, wholeRecords);
    const int breaks = FirstBreak(values, wholeRecords, twoDigitDecimals);
    const int fromRecord = std::max(0, breaks - RecordsBeforeSuspect);
    const qsizetype last = std::min<qsizetype>(qsizetype(breaks + 2) * ValuesPerRecord,
                                               qsizetype(received) - (split ? 1 : 0));
    const auto isUnreadable = [&](qsizetype at) {
        return std::binary_search(unreadable.begin(), unreadable.end(), qint32(at));
    };
    const auto fits = [&](qsizetype at, qsizetype consumed, std::span<const Slot> put) {
        const Realigned realigned(values, at, consumed, put);
        const int record = int(at / ValuesPerRecord);
        const int records = int(realigned.size() / ValuesPerRecord);
        return LooksLikeRecords(realigned, std::max(0, record - 1),
                                std::min(records, record + RecordsConfirming), twoDigitDecimals);
    };
    for (qsizetype at = qsizetype(fromRecord) * ValuesPerRecord; at < last; ++at) {
        if (joined) {
            for (const std::array<Slot, 2>& pair :
                 JoinedPairs(values[size_t(at)], isUnreadable(at)))
                if (fits(at, 1, pair))
                    return int(at / ValuesPerRecord);
        } else if (const auto whole = SplitValue(values[size_t(at)], values[size_t(at + 1)],
                                                 isUnreadable(at) || isUnreadable(at + 1))) {
            const std::array<Slot, 1> put{*whole};
            if (fits(at, 2, put))
                return int(at / ValuesPerRecord);
        }
    }
    return -1;
}
