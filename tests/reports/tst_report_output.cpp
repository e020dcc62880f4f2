// The report written out: the PDF read back (text, page facts, positions in millimetres), the
// pages of a long range, a save that fails or is stopped, and printing into a PDF printer.
#include "common/errors.h"
#include "report_fixture.h"
#include "reports/report_layout.h"
#include "reports/report_output.h"
#include "reports/report_page.h"
#include "support/test_files.h"

#include <QDir>
#include <QFileInfo>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTest>

namespace
{

const QDate Today(2026, 12, 9);

ReportContent Content(int first, int last, int tableRows = 500)
{
    return FillReport(SourcesFor(FakeTable{tableRows}, first, last), Today);
}

// The word's box, at most a third of a millimetre from where the layout puts it.
bool IsAt(const PdfWord& word, double leftMm, double topMm)
{
    return qAbs(word.leftMm - leftMm) < 0.35 && qAbs(word.topMm - topMm) < 0.35;
}

// Every row's line is present, and they come in the order of the rows.
void VerifyRowsInOrder(const QString& text, int first, int last)
{
    qsizetype previous = -1;
    for (int row = first; row <= last; ++row) {
        const auto match = RowLine(row).match(text);
        QVERIFY2(match.hasMatch(), qPrintable(QStringLiteral("row %1 missing").arg(row)));
        QVERIFY2(match.capturedStart() > previous, qPrintable(QStringLiteral("row %1").arg(row)));
        previous = match.capturedStart();
    }
}

} // namespace

class ReportOutputTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void pdfReadBack_data();
    void pdfReadBack();
    void elementsWhereTheLayoutPutsThem_data();
    void elementsWhereTheLayoutPutsThem();
    void longRangeContinuesOnFurtherPages();
    void longLabelWrapsInsideTheFrame();
    void existingFileIsReplacedWhole();
    void failedSaveRaisesAndWritesNothing();
    void stoppedSaveLeavesTheFileAsItWas();
    void printsOnThePrinterWithItsPageRange();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

void ReportOutputTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QDir::setCurrent(m_dir->path());
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
}

void ReportOutputTest::cleanup()
{
    QLocale::setDefault(QLocale::c());
    QDir::setCurrent(QDir::tempPath());
    m_dir.reset();
}

void ReportOutputTest::pdfReadBack_data()
{
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last");
    QTest::addColumn<int>("rows");

    QTest::newRow("the curve view's largest range") << 0 << 40 << 41;
    QTest::newRow("its smallest") << 7 << 8 << 2;
    QTest::newRow("one row") << 12 << 12 << 1;
    QTest::newRow("end below start") << 9 << 3 << 0;
}

void ReportOutputTest::pdfReadBack()
{
    QFETCH(int, first);
    QFETCH(int, last);
    QFETCH(int, rows);

    const ReportContent content = Content(first, last);
    QCOMPARE(content.rows.count(), rows);
    QVERIFY(SaveReportPdf(content, QStringLiteral("report.pdf")));

    QCOMPARE(PdfInfo("report.pdf", "Pages"), QStringLiteral("1"));
    QCOMPARE(PdfInfo("report.pdf", "Page size"), QStringLiteral("595 x 842 pts (A4)"));
    QCOMPARE(PdfInfo("report.pdf", "Title"), QStringLiteral("Rapport d'enregistrement"));
    QCOMPARE(PdfInfo("report.pdf", "Creator"), QStringLiteral("QUIVEL Config"));

    const QString text = PdfText("report.pdf");
    QVERIFY2(text.contains(QStringLiteral("QUIVEL DATALOGGER")), qPrintable(text));
    QVERIFY(text.contains(QStringLiteral("Rapport d'enregistrement KX52R10")));
    QVERIFY(text.contains(QRegularExpression(QStringLiteral("Date :\\s+09/12/2026"))));
    QVERIFY(
        text.contains(QRegularExpression(QStringLiteral("Numéro de série :\\s+101/102/103/104/"))));
    QVERIFY(text.contains(
        QRegularExpression(QStringLiteral("DATE\\s+Heure : Minute\\s+Température\\s+Humidité"))));
    VerifyRowsInOrder(text, first, last);
    // Nothing else: no row outside the range, no page footer on a one-page report.
    QCOMPARE(text.count(QRegularExpression(QStringLiteral("^\\s*\\d+/\\d+\\s+\\d+:\\d+"),
                                           QRegularExpression::MultilineOption)),
             rows);
    QVERIFY(!text.contains(QStringLiteral("Page ")));
}

void ReportOutputTest::elementsWhereTheLayoutPutsThem_data()
{
    QTest::addColumn<QString>("word");
    QTest::addColumn<QString>("element");
    QTest::addColumn<int>("line");

    // The paper's corner is 12.7 mm from the printable area's.
    QTest::newRow("title") << "QUIVEL"
                           << "QRLabel1" << 0;
    QTest::newRow("heading") << "Rapport"
                             << "QRLabel8" << 0;
    QTest::newRow("date label") << "Date"
                                << "QRLabel9" << 0;
    QTest::newRow("date") << "09/12/2026"
                          << "QRLabel3" << 0;
    QTest::newRow("serial number label") << "Numéro"
                                         << "QRLabel10" << 0;
    QTest::newRow("serial number") << "101/102/103/104/"
                                   << "QRLabel11" << 0;
    QTest::newRow("humidity heading") << "Humidité"
                                      << "QRLabel12" << 0;
    QTest::newRow("first date") << CellText(1, 0) << "QRMemo1" << 0;
    QTest::newRow("41st time") << CellText(2, 40) << "QRMemo2" << 40;
    QTest::newRow("20th temperature") << CellText(3, 19) << "QRMemo3" << 19;
    QTest::newRow("41st humidity") << CellText(4, 40) << "QRMemo4" << 40;
}

void ReportOutputTest::elementsWhereTheLayoutPutsThem()
{
    QFETCH(QString, word);
    QFETCH(QString, element);
    QFETCH(int, line);

    QVERIFY(SaveReportPdf(Content(0, 40), QStringLiteral("report.pdf")));
    const QRectF box = ReportElementNamed(element).box;
    const double left = ReportLayout::Margin + box.left();
    const double top = ReportLayout::Margin + box.top() + line * ReportLayout::RowPitch;
    bool found = false;
    for (const PdfWord& w : PdfWords("report.pdf"))
        found = found || (w.text == word && IsAt(w, left, top));
    QVERIFY2(found, qPrintable(QStringLiteral("%1 not at %2, %3 mm").arg(word).arg(left).arg(top)));
}

void ReportOutputTest::longRangeContinuesOnFurtherPages()
{
    // 100 rows: 41, 41 and 18.
    const ReportContent content = Content(5, 104);
    QCOMPARE(ReportPageCount(content), 3);
    QVERIFY(SaveReportPdf(content, QStringLiteral("long.pdf")));
    QCOMPARE(PdfInfo("long.pdf", "Pages"), QStringLiteral("3"));
    if (qEnvironmentVariableIsSet("KEEP_REPORT")) // to look at the pages
        QFile::copy(QStringLiteral("long.pdf"), qEnvironmentVariable("KEEP_REPORT"));

    const int firstOfPage[] = {5, 46, 87, 105};
    for (int page = 1; page <= 3; ++page) {
        const QString text = PdfText("long.pdf", page);
        QVERIFY(text.contains(QStringLiteral("Rapport d'enregistrement KX52R10")));
        QVERIFY(text.contains(QStringLiteral("09/12/2026")));
        QVERIFY(text.contains(QStringLiteral("101/102/103/104/")));
        QVERIFY(text.contains(QStringLiteral("Heure : Minute")));
        QVERIFY(text.contains(QStringLiteral("Page %1 / 3").arg(page)));
        VerifyRowsInOrder(text, firstOfPage[page - 1], firstOfPage[page] - 1);
        QVERIFY(!RowLine(firstOfPage[page]).match(text).hasMatch());
    }
    // The footer sits under the band, on the page.
    for (const PdfWord& word : PdfWords("long.pdf")) {
        if (word.text == QLatin1String("Page")) {
            QVERIFY(word.topMm > ReportLayout::Margin + ReportLayout::BandHeight);
            QVERIFY(word.topMm < ReportLayout::PaperHeight - ReportLayout::Margin - 5);
        }
    }
}

void ReportOutputTest::longLabelWrapsInsideTheFrame()
{
    ReportContent content = Content(0, 3);
    content.serialNumber = QStringLiteral("Réponse inattendue du datalogger : 101/102/103/104/ "
                                          "puis des octets que personne n'attendait");
    QVERIFY(SaveReportPdf(content, QStringLiteral("report.pdf")));
    const QList<PdfWord> words = PdfWords("report.pdf");
    QStringList shown;
    double lowest = 0;
    for (const PdfWord& word : words) {
        if (word.topMm >= 31 && word.topMm < 48 && word.leftMm >= 105) {
            shown.append(word.text);
            lowest = qMax(lowest, word.topMm);
        }
    }
    QCOMPARE(shown.join(' '), content.serialNumber);
    QVERIFY(lowest > 31.75 + 3); // on a second line
    // Nothing comes near the frame's right side.
    const QRegularExpression rightEdge(QStringLiteral("xMax=\"([0-9.]+)\""));
    const QString boxes =
        RunTool(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), "report.pdf", "-"});
    for (auto it = rightEdge.globalMatch(boxes); it.hasNext();) {
        const double right = it.next().captured(1).toDouble() * 25.4 / 72;
        QVERIFY2(right < ReportLayout::Margin + ReportLayout::LabelRightEdge, qPrintable(boxes));
    }
}

void ReportOutputTest::existingFileIsReplacedWhole()
{
    WriteAll(QStringLiteral("report.pdf"), QByteArray(200000, 'x'));
    QVERIFY(SaveReportPdf(Content(0, 3), QStringLiteral("report.pdf")));
    const QByteArray bytes = ReadAll(QStringLiteral("report.pdf"));
    QVERIFY(bytes.startsWith("%PDF-"));
    QVERIFY(!bytes.contains("xxxxxxxx"));
    QCOMPARE(PdfInfo("report.pdf", "Pages"), QStringLiteral("1"));
}

void ReportOutputTest::failedSaveRaisesAndWritesNothing()
{
    const QString name = QDir::current().filePath(QStringLiteral("missing/report.pdf"));
    try {
        SaveReportPdf(Content(0, 3), name);
        QFAIL("no error");
    } catch (const EFCreateError& error) {
        QVERIFY2(
            error.message().startsWith(QStringLiteral("Cannot create file \"%1\". ").arg(name)),
            qPrintable(error.message()));
        QVERIFY(error.message().size() > name.size() + 24); // the system's reason follows
    }
    QVERIFY(QDir::current().entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
}

void ReportOutputTest::stoppedSaveLeavesTheFileAsItWas()
{
    WriteAll(QStringLiteral("report.pdf"), QByteArrayLiteral("the previous report"));
    QList<int> told;
    const bool finished =
        SaveReportPdf(Content(0, 199), QStringLiteral("report.pdf"), [&](int done, int total) {
            told.append(done);
            return total == 5 && done < 2;
        });
    QVERIFY(!finished);
    QCOMPARE(told, (QList<int>{1, 2}));
    QCOMPARE(ReadAll(QStringLiteral("report.pdf")), QByteArrayLiteral("the previous report"));
    QCOMPARE(QDir::current().entryList(QDir::Files), QStringList{QStringLiteral("report.pdf")});
}

void ReportOutputTest::printsOnThePrinterWithItsPageRange()
{
    const ReportContent content = Content(0, 99);
    QPrinter printer(QPrinter::HighResolution);
    SetUpReportPrinter(printer);
    QCOMPARE(printer.copyCount(), 1);
    // Double-sided printing is asked too, but a printer without a duplex unit, as the
    // tests' PDF printer, ignores it.
    QCOMPARE(printer.paperSource(), QPrinter::Auto);
    QCOMPARE(printer.pageLayout().orientation(), QPageLayout::Portrait);
    QCOMPARE(printer.pageLayout().pageSize().id(), QPageSize::A4);

    printer.setOutputFileName(QDir::current().filePath(QStringLiteral("all.pdf")));
    QVERIFY(PrintReport(content, printer));
    QCOMPARE(PdfInfo("all.pdf", "Pages"), QStringLiteral("3"));
    VerifyRowsInOrder(PdfText("all.pdf"), 0, 99);

    // Pages 2 and 5 asked: page 5 does not exist.
    printer.setOutputFileName(QDir::current().filePath(QStringLiteral("some.pdf")));
    printer.setPrintRange(QPrinter::PageRange);
    printer.setPageRanges(QPageRanges::fromString(QStringLiteral("2,5")));
    QVERIFY(PrintReport(content, printer));
    QCOMPARE(PdfInfo("some.pdf", "Pages"), QStringLiteral("1"));
    const QString text = PdfText("some.pdf");
    QVERIFY(text.contains(QStringLiteral("Page 2 / 3")));
    VerifyRowsInOrder(text, 41, 81);
    QVERIFY(!RowLine(40).match(text).hasMatch());
}

QTEST_MAIN(ReportOutputTest)
#include "tst_report_output.moc"
