#include "records/record_download.h"

#include "common/text_file.h"
#include "device/protocol.h"
#include "records/record_line.h"

#include <algorithm>
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

EMalformedValue::EMalformedValue(const QByteArray& packet, qint64 valueNumber)
    : QuivelError(QStringLiteral("Valeur n° %1 illisible : « %2 » n'est pas un nombre entier.\n"
                                 "Le téléchargement est abandonné ; le fichier %3 n'a pas été "
                                 "modifié.")
                      .arg(valueNumber)
                      .arg(ShownPacket(packet), RecordFileName))
{
}

RecordDownload::RecordDownload() : m_values(size_t(BufferSlots), 0), m_lines{"Memo1"}
{
}

bool RecordDownload::AcceptableRecordCount(qint64 records)
{
    return records >= 1 && records <= MaxRecords;
}

void RecordDownload::begin(int records)
{
    Q_ASSERT(AcceptableRecordCount(records));
    m_records = std::clamp(records, 1, MaxRecords);
    m_lines.clear();
    m_received = 0;
    m_check = {};
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
    if (!m_running)
        return Step::Ignored;
    qint32 value = 0;
    try {
        value = ReadValuePacket(packet);
    } catch (const QuivelError&) {
        m_running = false;
        throw EMalformedValue(packet, qint64(m_received) + 1);
    }
    m_values[size_t(m_received)] = value;
    ++m_received;
    if (m_received < completionCount())
        return Step::Stored;
    complete();
    return Step::Complete;
}

void RecordDownload::complete()
{
    m_running = false;
    const auto values = std::span<qint32>(m_values).first(size_t(expectedValues()));
    for (qint32& v : values)
        v = CleanValue(v);
    m_lines.clear();
    m_lines.reserve(m_records);
    for (int k = 0; k < m_records; ++k)
        m_lines.append(
            FormatRecordLine(values.subspan(size_t(k) * ValuesPerRecord).first<ValuesPerRecord>()));
    m_check = CheckRecordDates(values, m_records);
}

void RecordDownload::save(const QString& fileName) const
{
    WriteByteLines(fileName, m_lines);
}

QString RecordCountRefusedMessage(qint64 typed)
{
    return QStringLiteral("Nombre d'enregistrements refusé : %1.\n"
                          "Le téléchargement porte sur le nombre saisi plus un, soit de 1 à %2 "
                          "enregistrements : saisissez un nombre de 0 à %3.")
        .arg(typed)
        .arg(RecordDownload::MaxRecords)
        .arg(RecordDownload::MaxRecords - 1);
}

QString SuspectRecordsWarning(const RecordCheck& check)
{
    return QStringLiteral("Attention : %1 enregistrement(s) sur %2 ont une date ou une heure "
                          "impossible, à partir de l'enregistrement n° %3.\n"
                          "Des valeurs ont sans doute été reçues collées l'une à l'autre. "
                          "Le fichier %4 a été écrit ; recommencez le téléchargement.")
        .arg(check.suspect)
        .arg(check.records)
        .arg(check.firstSuspect + 1)
        .arg(RecordFileName);
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
