#include "records/record_download.h"

#include "common/previous_generation.h"
#include "common/text_file.h"
#include "device/protocol.h"
#include "records/record_line.h"

#include <algorithm>
#include <array>
#include <limits>
#include <span>

namespace
{

// A packet as readable text: control and 8-bit bytes as escapes, long packets cut.
QString ShownPacket(const QByteArray& packet)
{
    constexpr qsizetype MaxShown = 40;
    QString shown;
    for (qsizetype i = 0; i < std::min(packet.size(), MaxShown); ++i) {
        const auto b = static_cast<unsigned char>(packet[i]);
        if (b == '\r')
            shown += QStringLiteral("\\r");
        else if (b == '\n')
            shown += QStringLiteral("\\n");
        else if (b < 0x20 || b >= 0x7F)
            shown += QStringLiteral("\\x%1").arg(b, 2, 16, QLatin1Char('0'));
        else
            shown += QLatin1Char(char(b));
    }
    if (packet.size() > MaxShown)
        shown += QStringLiteral("…");
    return shown;
}

} // namespace

bool DownloadReport::valuesMissing() const
{
    return valuesReceived < valuesExpected && valuesReceived % ValuesPerRecord != 0;
}

bool DownloadReport::fewerRecords() const
{
    return ended && !valuesMissing() && recordsSent < recordsWanted;
}

bool DownloadReport::clean() const
{
    // A logger that held exactly the records wanted sends no extra record: that is whole too.
    return ended && malformed == 0 && check.suspect == 0 && extraValues() == 0 &&
           !valuesMissing() && recordsSent >= recordsWanted;
}

RecordDownload::RecordDownload() : m_lines{"Memo1"}
{
}

bool RecordDownload::AcceptableRecordCount(qint64 records)
{
    return records >= 2 && records <= qint64(MaxRecords) + 1;
}

void RecordDownload::begin(int records)
{
    Q_ASSERT(AcceptableRecordCount(records));
    m_records = std::clamp(records, 2, MaxRecords + 1);
    m_values.assign(size_t(expectedValues() + ExtraValuesKept), 0);
    m_lines.clear();
    m_received = 0;
    m_malformed = 0;
    m_firstMalformed = 0;
    m_firstMalformedPacket.clear();
    m_malformedAt.clear();
    m_running = true;
    m_ended = false;
}

void RecordDownload::abandon()
{
    m_running = false;
}

qint32 RecordDownload::expectedValues() const
{
    return m_records * ValuesPerRecord;
}

RecordDownload::Step RecordDownload::accept(const QByteArray& packet)
{
    // "g" is the logger's own reply, which may come at any time: no value.
    if (!m_running || IsResponseReply(packet))
        return Step::Ignored;
    qint32 value = 0;
    try {
        value = ReadValuePacket(packet);
    } catch (const QuivelError&) {
        if (m_malformed++ == 0) {
            m_firstMalformed = m_received + 1;
            m_firstMalformedPacket = packet;
        }
        if (m_malformedAt.size() < size_t(UnreadableKept))
            m_malformedAt.push_back(m_received);
    }
    if (size_t(m_received) < m_values.size())
        m_values[size_t(m_received)] = value;
    if (m_received < std::numeric_limits<qint32>::max())
        ++m_received;
    return Step::Stored;
}

RecordDownload::Step RecordDownload::finish()
{
    m_running = false;
    m_ended = true;
    if (!report().clean())
        return Step::NeedsDecision;
    makeLines(recordsWanted());
    return Step::Complete;
}

int RecordDownload::recordsArrived() const
{
    return std::min(recordsWanted(), int(m_received / ValuesPerRecord));
}

DownloadReport RecordDownload::report() const
{
    DownloadReport report;
    report.recordsWanted = recordsWanted();
    report.recordsAsked = m_records;
    report.valuesExpected = expectedValues();
    report.valuesReceived = m_received;
    report.ended = m_ended;
    report.malformed = m_malformed;
    report.firstMalformed = m_firstMalformed;
    report.firstMalformedPacket = m_firstMalformedPacket;
    report.recordsArrived = recordsArrived();
    report.recordsSent = int(std::min(m_received, expectedValues()) / ValuesPerRecord);
    // The check reads the values as they came, before those above 250 become 0.
    const auto stored =
        std::span<const qint32>(m_values).first(std::min(size_t(m_received), m_values.size()));
    report.check = CheckRecords(stored, report.recordsSent);
    report.firstWrongRecord = report.check.firstSuspect;
    if (m_ended) {
        const int shift = LocateOneValueShift(stored, expectedValues(), m_malformedAt);
        if (shift >= 0)
            report.firstWrongRecord = shift;
    }
    return report;
}

void RecordDownload::takeWhatArrived()
{
    m_running = false;
    makeLines(recordsArrived());
}

void RecordDownload::makeLines(int records)
{
    m_lines.clear();
    m_lines.reserve(records);
    std::array<qint32, ValuesPerRecord> cleaned{};
    for (int k = 0; k < records; ++k) {
        const auto values =
            std::span<const qint32>(m_values).subspan(size_t(k) * ValuesPerRecord, ValuesPerRecord);
        std::transform(values.begin(), values.end(), cleaned.begin(), CleanValue);
        m_lines.append(FormatRecordLine(cleaned));
    }
}

void RecordDownload::save(const QString& fileName) const
{
    KeepPreviousGeneration(fileName);
    WriteByteLines(fileName, m_lines);
}

QString DownloadSavedAnywayDetails(const DownloadReport& report)
{
    return QStringLiteral("%1 rec of %2, %3 values of %4, %5 unreadable, %6 suspect from %7")
        .arg(report.recordsArrived)
        .arg(report.recordsWanted)
        .arg(report.valuesReceived)
        .arg(report.valuesExpected)
        .arg(report.malformed)
        .arg(report.check.suspect)
        .arg(report.firstWrongRecord + 1);
}

QString RecordCountRefusedMessage(qint64 typed)
{
    return QStringLiteral("Nombre d'enregistrements refusé : %1.\n"
                          "Saisissez un nombre de 1 à %2.")
        .arg(typed)
        .arg(RecordDownload::MaxRecords);
}

namespace
{

// What the count of values says, when it says something is wrong.
QString CountProblem(const DownloadReport& report)
{
    if (!report.ended)
        return QStringLiteral("Le téléchargement est incomplet : %1 valeurs reçues sur %2.")
            .arg(report.valuesReceived)
            .arg(report.valuesExpected);
    if (report.extraValues() > 0)
        return QStringLiteral("Le datalogger a envoyé %1 valeur(s) de trop : %2 valeurs reçues "
                              "pour %3 demandées (une valeur a sans doute été reçue en deux "
                              "morceaux).")
            .arg(report.extraValues())
            .arg(report.valuesReceived)
            .arg(report.valuesExpected);
    if (report.valuesMissing())
        return QStringLiteral("Il manque des valeurs : %1 valeurs reçues sur %2 (%3 manquantes "
                              "ou reçues collées à d'autres).")
            .arg(report.valuesReceived)
            .arg(report.valuesExpected)
            .arg(report.valuesExpected - report.valuesReceived);
    if (report.fewerRecords())
        return QStringLiteral("Le datalogger n'a envoyé que %1 enregistrement(s) sur les %2 "
                              "demandés : sa mémoire n'en contient pas davantage.")
            .arg(report.recordsSent)
            .arg(report.recordsWanted);
    return {};
}

// Where the damage starts, and whether the records wanted are touched.
QString WhereItStarts(const DownloadReport& report)
{
    const bool shifted = report.ended && (report.extraValues() > 0 || report.valuesMissing());
    if (report.firstWrongRecord < 0 || (!shifted && report.check.suspect == 0))
        return {};
    if (report.firstWrongRecord >= report.recordsWanted)
        return QStringLiteral("Les %1 enregistrements demandés sont arrivés entiers : seul "
                              "l'enregistrement supplémentaire, que le programme demande en plus "
                              "et n'enregistre jamais, est touché.")
            .arg(report.recordsWanted);
    QString where;
    if (shifted) {
        where = QStringLiteral("Les valeurs sont décalées à partir de l'enregistrement n° %1 : "
                               "deux valeurs ont sans doute été reçues collées l'une à l'autre, "
                               "ou une valeur en deux morceaux.")
                    .arg(report.firstWrongRecord + 1);
    } else {
        const QString interval = report.check.periodConfirmed
                                     ? QStringLiteral(", ou intervalle différent de %1 min")
                                           .arg(report.check.periodMinutes)
                                     : QString();
        where = QStringLiteral("%1 enregistrement(s) sur %2 sont impossibles (date, heure ou "
                               "mesure hors limites%3), à partir de l'enregistrement n° %4.")
                    .arg(report.check.suspect)
                    .arg(report.check.records)
                    .arg(interval)
                    .arg(report.firstWrongRecord + 1);
    }
    if (report.firstWrongRecord == 1)
        where += QStringLiteral(" L'enregistrement n° 1 est arrivé en bon ordre.");
    else if (report.firstWrongRecord > 1)
        where += QStringLiteral(" Les enregistrements n° 1 à %1 sont arrivés en bon ordre.")
                     .arg(report.firstWrongRecord);
    return where;
}

} // namespace

QString DownloadProblemText(const DownloadReport& report)
{
    QStringList parts;
    if (const QString count = CountProblem(report); !count.isEmpty())
        parts << count;
    if (report.malformed > 0)
        parts << QStringLiteral("%1 valeur(s) illisible(s), la première est la valeur n° %2 "
                                "(« %3 »).")
                     .arg(report.malformed)
                     .arg(report.firstMalformed)
                     .arg(ShownPacket(report.firstMalformedPacket));
    if (const QString where = WhereItStarts(report); !where.isEmpty())
        parts << where;
    if (parts.isEmpty())
        return {};
    parts << QStringLiteral("Le fichier %1 n'a pas été modifié.").arg(RecordFileName);
    return parts.join(QLatin1Char('\n'));
}

QString ProgressText(qint32 received, qint32 expected)
{
    return QStringLiteral("%1 / %2 valeurs").arg(received).arg(expected);
}

QString SilenceNote()
{
    return QStringLiteral("Aucune valeur reçue depuis 5 secondes : vérifiez l'enregistreur et "
                          "la liaison, ou quittez avec « Ouvrir les données ».");
}
