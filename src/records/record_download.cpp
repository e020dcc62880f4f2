#include "records/record_download.h"

#include "common/previous_generation.h"
#include "common/text_file.h"
#include "device/protocol.h"
#include "records/record_line.h"

#include <algorithm>
#include <array>
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

RecordDownload::RecordDownload() : m_values(size_t(BufferSlots), 0), m_lines{"Memo1"}
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
    m_lines.clear();
    m_received = 0;
    m_malformed = 0;
    m_firstMalformed = 0;
    m_firstMalformedPacket.clear();
    m_running = true;
}

void RecordDownload::abandon()
{
    m_running = false;
}

qint32 RecordDownload::expectedValues() const
{
    return m_records * ValuesPerRecord;
}

qint32 RecordDownload::completionCount() const
{
    return expectedValues() - ValuesNotAwaited;
}

RecordDownload::Step RecordDownload::accept(const QByteArray& packet)
{
    // "g" is the logger's own reply, which may come at any time: no value.
    if (IsResponseReply(packet))
        return Step::Ignored;
    // The last values of a completed download come after it, also after a new request: the
    // logger sends them first.
    if (m_tailPending > 0) {
        --m_tailPending;
        return Step::Ignored;
    }
    if (!m_running)
        return Step::Ignored;
    qint32 value = 0;
    try {
        value = ReadValuePacket(packet);
    } catch (const QuivelError&) {
        if (m_malformed++ == 0) {
            m_firstMalformed = m_received + 1;
            m_firstMalformedPacket = packet;
        }
    }
    m_values[size_t(m_received)] = value;
    ++m_received;
    if (m_received < completionCount())
        return Step::Stored;
    m_running = false;
    m_tailPending = expectedValues() - m_received;
    makeLines(recordsWanted());
    return report().clean() ? Step::Complete : Step::NeedsDecision;
}

int RecordDownload::recordsArrived() const
{
    return std::min(recordsWanted(), int(m_received / ValuesPerRecord));
}

DownloadReport RecordDownload::report() const
{
    DownloadReport report;
    report.recordsWanted = recordsWanted();
    // The values the download needs: the logger sends three more, which are not awaited.
    report.valuesExpected = completionCount();
    report.valuesReceived = m_received;
    report.complete = m_received >= completionCount();
    report.malformed = m_malformed;
    report.firstMalformed = m_firstMalformed;
    report.firstMalformedPacket = m_firstMalformedPacket;
    report.recordsArrived = recordsArrived();
    // The check reads the values as they came, before those above 250 become 0.
    report.check = CheckRecords(std::span<const qint32>(m_values), report.recordsArrived);
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
        .arg(report.check.firstSuspect + 1);
}

QString RecordCountRefusedMessage(qint64 typed)
{
    return QStringLiteral("Nombre d'enregistrements refusé : %1.\n"
                          "Saisissez un nombre de 1 à %2.")
        .arg(typed)
        .arg(RecordDownload::MaxRecords);
}

QString DownloadProblemText(const DownloadReport& report)
{
    QStringList parts;
    if (!report.complete) {
        const qint32 missing = report.valuesExpected - report.valuesReceived;
        parts << QStringLiteral("Le téléchargement est incomplet : %1 valeurs reçues sur %2 "
                                "(%3 manquantes ou reçues collées à d'autres).")
                     .arg(report.valuesReceived)
                     .arg(report.valuesExpected)
                     .arg(missing);
    }
    if (report.malformed > 0)
        parts << QStringLiteral("%1 valeur(s) illisible(s), la première est la valeur n° %2 "
                                "(« %3 »).")
                     .arg(report.malformed)
                     .arg(report.firstMalformed)
                     .arg(ShownPacket(report.firstMalformedPacket));
    if (report.check.suspect > 0)
        parts << QStringLiteral("%1 enregistrement(s) sur %2 sont impossibles (date, heure ou "
                                "mesure hors limites, ou intervalle différent de %3 min), à "
                                "partir de l'enregistrement n° %4 : des valeurs ont sans doute "
                                "été reçues collées l'une à l'autre.")
                     .arg(report.check.suspect)
                     .arg(report.check.records)
                     .arg(report.check.periodMinutes)
                     .arg(report.check.firstSuspect + 1);
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
