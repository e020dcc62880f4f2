// The report window as a user meets it: its controls, the content filled when it goes from
// hidden to shown, saving as PDF after the preview, printing through the print dialog, a range
// of half a million rows, and the window beside a modal one.
#include "common/clickable_label.h"
#include "report_fixture.h"
#include "reports/report_form.h"
#include "reports/report_output.h"
#include "support/scripted_services.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWindow>

namespace
{

// The scripted dialogs, also noting the order in which they were asked and the printer that
// the print dialog was handed.
class RecordingDialogs : public ScriptedDialogs
{
public:
    QStringList asked;
    int printerCopies = 0;
    QPrinter::PaperSource printerTray = QPrinter::OnlyOne;
    QPageLayout printerLayout;
    bool printerFullPage = false;
    // Pages the user asks for in the print dialog ("7-8"); all when empty.
    QString pageRange;

    std::optional<FileSaveAnswer> saveFile(const FileSaveRequest& request) override
    {
        asked.append(QStringLiteral("save"));
        return ScriptedDialogs::saveFile(request);
    }
    void printPreview(QPrinter& printer, const std::function<void(QPrinter*)>& paint) override
    {
        asked.append(QStringLiteral("preview"));
        ScriptedDialogs::printPreview(printer, paint);
    }
    bool print(QPrinter& printer) override
    {
        asked.append(QStringLiteral("print"));
        printerCopies = printer.copyCount();
        printerTray = printer.paperSource();
        printerLayout = printer.pageLayout();
        printerFullPage = printer.fullPage();
        if (!pageRange.isEmpty()) {
            printer.setPrintRange(QPrinter::PageRange);
            printer.setPageRanges(QPageRanges::fromString(pageRange));
        }
        return ScriptedDialogs::print(printer);
    }
};

// The range fields of the curve view, which the user may change while the report is open.
struct Range {
    int first = 0;
    int last = 40;
};

void Click(QWidget* control)
{
    if (auto* button = qobject_cast<QPushButton*>(control))
        button->click();
    else
        QTest::mouseClick(control, Qt::LeftButton);
}

} // namespace

class ReportFormTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void windowAndControls();
    void pageShownAtHalfSize();
    void filledOnlyFromHiddenToShown();
    void serialNumberBeforeAnyConnection();
    void saveAsPdf_data();
    void saveAsPdf();
    void cancelledSaveWritesNothing();
    void failedSaveIsReported();
    void previewShowsThePagesUpToItsLimit();
    void print_data();
    void print();
    void cancelledPrintPrintsNothing();
    void rangeOfHalfAMillionRows();
    void usableBesideAModalWindow();

private:
    void wire(Tformpdf& window, const QString& serial = QStringLiteral("101/102/103/104/"));
    QWidget* control(Tformpdf& window, const char* name);

    std::unique_ptr<QTemporaryDir> m_dir;
    RecordingDialogs m_dialogs;
    FixedClock m_clock;
    Range m_range;
    FakeTable m_table{500};
};

void ReportFormTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QDir::setCurrent(m_dir->path());
    m_dialogs.clear();
    m_dialogs.asked.clear();
    m_dialogs.printAnswer = true;
    m_dialogs.pageRange.clear();
    m_dialogs.printFile.clear();
    m_dialogs.previewFile.clear();
    Services::setDialogs(&m_dialogs);
    Services::setClock(&m_clock);
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    m_range = Range{};
    m_table = FakeTable{500};
}

void ReportFormTest::cleanup()
{
    Services::setDialogs(nullptr);
    Services::setClock(nullptr);
    QLocale::setDefault(QLocale::c());
    QDir::setCurrent(QDir::tempPath());
    m_dir.reset();
}

void ReportFormTest::wire(Tformpdf& window, const QString& serial)
{
    const FakeTable table = m_table;
    window.setCellSource([table](int column, int row) { return table.cell(column, row); });
    window.setRangeSource([this] { return std::pair<int, int>(m_range.first, m_range.last); });
    window.setSerialNumberSource([serial] { return serial; });
    window.setTableRowsSource([table] { return table.rows; });
}

QWidget* ReportFormTest::control(Tformpdf& window, const char* name)
{
    auto* widget = window.findChild<QWidget*>(QString::fromLatin1(name));
    if (!widget)
        qWarning("no control %s", name);
    return widget;
}

void ReportFormTest::windowAndControls()
{
    Tformpdf window;
    wire(window);
    window.showReport();
    QCOMPARE(window.windowTitle(), QStringLiteral("Rapport d'enregistrement"));
    QCOMPARE(window.minimumSize(), window.maximumSize());
    QCOMPARE(qobject_cast<QPushButton*>(control(window, "Button1"))->text(),
             QStringLiteral("Enregistrer PDF"));
    QCOMPARE(qobject_cast<QPushButton*>(control(window, "Button2"))->text(),
             QStringLiteral("Imprimer"));
    for (const char* name : {"Image1", "Image2"}) {
        auto* picture = qobject_cast<ClickableLabel*>(control(window, name));
        QVERIFY(picture);
        QVERIFY(!picture->pixmap().isNull());
        QCOMPARE(picture->cursor().shape(), Qt::PointingHandCursor);
    }
    // The page on the left; on the right the saving at the top, the printing below it.
    const auto top = [&](const char* name) { return control(window, name)->geometry().top(); };
    QWidget* page = control(window, "QuickRep1");
    QVERIFY(page->geometry().right() < control(window, "Image2")->geometry().left());
    QVERIFY(top("Image2") < top("Button1"));
    QVERIFY(top("Button1") < top("Image1"));
    QVERIFY(top("Image1") < top("Button2"));
    QVERIFY(control(window, "Button2")->geometry().bottom() <= page->geometry().bottom());
    // Closing only hides it.
    window.close();
    QVERIFY(!window.isVisible());
}

void ReportFormTest::pageShownAtHalfSize()
{
    Tformpdf window;
    wire(window);
    window.showReport();
    QWidget* page = control(window, "QuickRep1");
    // A4 at half size on a 96 dpi screen: 105 x 148.5 mm, about 397 x 561 pixels, and a desk.
    QVERIFY(qAbs(page->width() - 397) <= 16);
    QVERIFY(qAbs(page->height() - 561) <= 16);
    const QImage image = page->grab().toImage().convertToFormat(QImage::Format_RGB32);
    // Ink where the heading is (19 to 60 mm across, 17 to 23 mm down), none far right of the
    // humidity column (150 to 190 mm across, 80 to 200 mm down).
    const auto inkIn = [&](qreal left, qreal top, qreal right, qreal bottom) {
        const qreal perMm = image.width() / 216.0; // the paper and its desk
        int ink = 0;
        for (int y = int(top * perMm); y < int(bottom * perMm); ++y) {
            for (int x = int(left * perMm); x < int(right * perMm); ++x)
                ink += qGray(image.pixel(x, y)) < 100;
        }
        return ink;
    };
    QVERIFY(inkIn(19, 17, 60, 23) > 30);
    QCOMPARE(inkIn(150, 80, 190, 200), 0);
}

void ReportFormTest::filledOnlyFromHiddenToShown()
{
    Tformpdf window;
    wire(window);
    window.showReport();
    QCOMPARE(window.report().rows.count(), 41);
    QCOMPARE(window.report().rows.text(0, 0).toString(), CellText(1, 0));
    QCOMPARE(window.report().date, QStringLiteral("09/12/2026"));

    // Still open: the new request only brings it forward with its old content.
    m_range = Range{100, 101};
    window.showReport();
    QCOMPARE(window.report().rows.count(), 41);
    QCOMPARE(window.report().rows.text(0, 0).toString(), CellText(1, 0));

    // Minimised, it comes back as it was.
    window.showMinimized();
    window.showReport();
    QVERIFY(!window.isMinimized());
    QCOMPARE(window.report().rows.count(), 41);

    window.close();
    window.showReport();
    QCOMPARE(window.report().rows.count(), 2);
    QCOMPARE(window.report().rows.text(1, 1).toString(), CellText(2, 101));

    // End below start: the heading, the date and the serial number over empty columns.
    window.close();
    m_range = Range{20, 10};
    window.showReport();
    QCOMPARE(window.report().rows.count(), 0);
    QCOMPARE(window.pageCount(), 1);
    QCOMPARE(window.report().serialNumber, QStringLiteral("101/102/103/104/"));
}

void ReportFormTest::serialNumberBeforeAnyConnection()
{
    Tformpdf window;
    wire(window, QStringLiteral("Aucun datalogger connecté"));
    window.showReport();
    m_dialogs.saveAnswers.enqueue(FileSaveAnswer{QStringLiteral("rapport.pdf"), 1});
    Click(control(window, "Button1"));
    QVERIFY2(m_dialogs.boxes.isEmpty(), qPrintable(m_dialogs.texts().join('\n')));
    QVERIFY(PdfText("rapport.pdf")
                .contains(QRegularExpression(
                    QStringLiteral("Numéro de série :\\s+Aucun datalogger connecté"))));
}

void ReportFormTest::saveAsPdf_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("written");
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("date");

    const QLocale french(QLocale::French, QLocale::France);
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    QTest::newRow("button, no extension") << "Button1"
                                          << "rapport"
                                          << "rapport.pdf" << french << "09/12/2026";
    QTest::newRow("picture, no extension") << "Image2"
                                           << "mesures du 9"
                                           << "mesures du 9.pdf" << french << "09/12/2026";
    QTest::newRow("button, .pdf typed, English") << "Button1"
                                                 << "rapport.pdf"
                                                 << "rapport.pdf" << english << "12/9/26";
    QTest::newRow("picture, other extension kept, English")
        << "Image2"
        << "rapport.doc"
        << "rapport.doc" << english << "12/9/26";
}

void ReportFormTest::saveAsPdf()
{
    QFETCH(QString, control);
    QFETCH(QString, typed);
    QFETCH(QString, written);
    QFETCH(QLocale, locale);
    QFETCH(QString, date);

    QLocale::setDefault(locale);
    Tformpdf window;
    wire(window);
    m_range = Range{7, 47};
    window.showReport();
    m_dialogs.saveAnswers.enqueue(FileSaveAnswer{QDir::current().filePath(typed), 1});
    Click(this->control(window, qPrintable(control)));

    QVERIFY2(m_dialogs.boxes.isEmpty(), qPrintable(m_dialogs.texts().join('\n')));
    QCOMPARE(m_dialogs.asked, (QStringList{"preview", "save"}));
    QCOMPARE(m_dialogs.saveRequests.size(), 1);
    QCOMPARE(m_dialogs.saveRequests[0].filters, QStringList{"pdf file (*.pdf)"});
    QCOMPARE(m_dialogs.saveRequests[0].defaultSuffix, QStringLiteral("pdf"));
    QCOMPARE(QDir::current().entryList(QDir::Files), QStringList{written});
    QCOMPARE(PdfInfo(written, "Pages"), QStringLiteral("1"));
    const QString text = PdfText(written);
    QVERIFY(text.contains(QRegularExpression(QStringLiteral("Date :\\s+") + date)));
    for (int row = 7; row <= 47; ++row)
        QVERIFY2(RowLine(row).match(text).hasMatch(), qPrintable(QString::number(row)));
}

void ReportFormTest::cancelledSaveWritesNothing()
{
    Tformpdf window;
    wire(window);
    window.showReport();
    Click(control(window, "Button1"));
    QCOMPARE(m_dialogs.asked, (QStringList{"preview", "save"}));
    QVERIFY(m_dialogs.boxes.isEmpty());
    QVERIFY(QDir::current().entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
}

void ReportFormTest::failedSaveIsReported()
{
    Tformpdf window;
    wire(window);
    window.showReport();
    const QString target = QDir::current().filePath(QStringLiteral("absent/rapport.pdf"));
    m_dialogs.saveAnswers.enqueue(FileSaveAnswer{target, 1});
    Click(control(window, "Image2"));
    QCOMPARE(m_dialogs.boxes.size(), 1);
    QCOMPARE(m_dialogs.boxes[0].kind, MsgKind::Error);
    QCOMPARE(m_dialogs.boxes[0].title, QStringLiteral("QUIVEL CONFIG"));
    QVERIFY2(m_dialogs.boxes[0].text.startsWith(
                 QStringLiteral("Cannot create file \"%1\". ").arg(target)),
             qPrintable(m_dialogs.boxes[0].text));
    QVERIFY(QDir::current().entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
}

void ReportFormTest::previewShowsThePagesUpToItsLimit()
{
    Tformpdf window;
    wire(window);
    m_range = Range{0, 99};
    window.showReport();
    m_dialogs.previewFile = QDir::current().filePath(QStringLiteral("preview.pdf"));
    Click(control(window, "Button1"));
    QCOMPARE(PdfInfo("preview.pdf", "Pages"), QStringLiteral("3"));
    QVERIFY(PdfText("preview.pdf", 3).contains(QStringLiteral("Page 3 / 3")));

    // Thousands of pages: the preview shows the first ones, numbered out of all of them.
    window.close();
    m_range = Range{0, 500000};
    window.showReport();
    Click(control(window, "Button1"));
    QCOMPARE(PdfInfo("preview.pdf", "Pages"), QString::number(PreviewPageLimit));
    QVERIFY(PdfText("preview.pdf", 1).contains(QStringLiteral("Page 1 / 12196")));
    QVERIFY(QDir::current().entryList(QDir::Files) == QStringList{"preview.pdf"});
}

void ReportFormTest::print_data()
{
    QTest::addColumn<QString>("control");
    QTest::newRow("button") << "Button2";
    QTest::newRow("picture") << "Image1";
}

void ReportFormTest::print()
{
    QFETCH(QString, control);

    Tformpdf window;
    wire(window);
    window.showReport();
    m_dialogs.printFile = QDir::current().filePath(QStringLiteral("printed.pdf"));
    Click(this->control(window, qPrintable(control)));

    QVERIFY2(m_dialogs.boxes.isEmpty(), qPrintable(m_dialogs.texts().join('\n')));
    QCOMPARE(m_dialogs.asked, QStringList{"print"});
    QCOMPARE(m_dialogs.printerCopies, 1);
    QCOMPARE(m_dialogs.printerTray, QPrinter::Auto);
    QCOMPARE(m_dialogs.printerLayout.pageSize().id(), QPageSize::A4);
    QCOMPARE(m_dialogs.printerLayout.orientation(), QPageLayout::Portrait);
    QVERIFY(m_dialogs.printerFullPage);
    QCOMPARE(PdfInfo("printed.pdf", "Pages"), QStringLiteral("1"));
    const QString text = PdfText("printed.pdf");
    QVERIFY(text.contains(QStringLiteral("Rapport d'enregistrement KX52R10")));
    for (int row = 0; row <= 40; ++row)
        QVERIFY2(RowLine(row).match(text).hasMatch(), qPrintable(QString::number(row)));
    // Where the layout puts it on the paper, as in the PDF file.
    bool titleAt = false;
    for (const PdfWord& word : PdfWords("printed.pdf"))
        titleAt = titleAt || (word.text == QLatin1String("QUIVEL") &&
                              qAbs(word.leftMm - 19.05) < 0.35 && qAbs(word.topMm - 16.93) < 0.35);
    QVERIFY(titleAt);
}

void ReportFormTest::cancelledPrintPrintsNothing()
{
    Tformpdf window;
    wire(window);
    window.showReport();
    m_dialogs.printFile = QDir::current().filePath(QStringLiteral("printed.pdf"));
    m_dialogs.printAnswer = false;
    Click(control(window, "Button2"));
    QCOMPARE(m_dialogs.printRequests, 1);
    QVERIFY(m_dialogs.boxes.isEmpty());
    QVERIFY(QDir::current().entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
}

void ReportFormTest::rangeOfHalfAMillionRows()
{
    // From the main window's tiles, with no range check; the table holds 300 rows.
    m_table = FakeTable{300};
    Tformpdf window;
    wire(window);
    m_range = Range{0, 500000};
    window.showReport();
    QVERIFY(window.isVisible());
    QCOMPARE(*m_table.asked, 300 * 4);
    QCOMPARE(window.report().rows.count(), 500001);
    QCOMPARE(window.pageCount(), 12196);

    // Pages 7 and 8 of them printed: rows 246 to 327, of which 300 on are empty.
    m_dialogs.printFile = QDir::current().filePath(QStringLiteral("printed.pdf"));
    m_dialogs.pageRange = QStringLiteral("7-8");
    Click(control(window, "Button2"));
    QVERIFY(m_dialogs.boxes.isEmpty());
    QCOMPARE(PdfInfo("printed.pdf", "Pages"), QStringLiteral("2"));
    QVERIFY(PdfText("printed.pdf", 1).contains(QStringLiteral("Page 7 / 12196")));
    QVERIFY(RowLine(246).match(PdfText("printed.pdf", 1)).hasMatch());
    const QString last = PdfText("printed.pdf", 2);
    QVERIFY(last.contains(QStringLiteral("Page 8 / 12196")));
    QVERIFY(RowLine(299).match(last).hasMatch());
    QVERIFY(!last.contains(CellText(3, 300)));
}

void ReportFormTest::usableBesideAModalWindow()
{
    Tformpdf window;
    wire(window);
    QDialog modal;
    bool usable = false;
    bool refilled = true;
    QTimer::singleShot(0, &modal, [&] {
        window.showReport();
        usable =
            window.isVisible() && window.windowHandle()->transientParent() == modal.windowHandle();
        m_range = Range{3, 4};
        window.showReport(); // already open: brought forward only
        refilled = window.report().rows.count() != 41;
        modal.done(0);
    });
    modal.exec();
    QVERIFY(usable);
    QVERIFY(!refilled);
    // Shown again later with no modal window open: its own window again, and refilled.
    window.close();
    window.showReport();
    QVERIFY(window.windowHandle()->transientParent() != modal.windowHandle());
    QCOMPARE(window.report().rows.count(), 2);
}

QTEST_MAIN(ReportFormTest)
#include "tst_report_form.moc"
