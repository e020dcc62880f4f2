// The pictures of the user guide and the README: the acceptance test's day (the same steps,
// tests/support/user_journey) under French settings, each window photographed as the user
// sees it at that moment, the first page of the saved report drawn by pdftoppm, and the
// download dialog of a second day, whose logger sends a value that is no number.
//
//     quivel-screenshots <folder>
//
// `make screenshots` runs it under Xvfb and writes docs/images/. It needs a display: the
// windows are shown as on a desk.
#include "analysis/chart_windows.h"
#include "app/application_windows.h"
#include "app/artwork.h"
#include "common/guarded_application.h"
#include "support/user_journey.h"

#include <QDir>
#include <QIcon>
#include <QLocale>
#include <QPixmap>
#include <QScreen>
#include <QScrollBar>
#include <QTableWidget>
#include <QTest>
#include <QWidget>
#include <cstdio>

namespace
{

// The report's first page at about the size the windows' pictures show text.
constexpr int ReportPageDpi = 110;
// The value of the second day's download that arrives garbled.
const QString GarbledValue = QStringLiteral("300");

// Xvfb has no window manager to maximise a window: it is given the screen, as one would.
void TakeTheScreenIfMaximised(QWidget* window)
{
    const QScreen* screen = window->screen();
    if (!(window->windowState() & Qt::WindowMaximized) || !screen)
        return;
    const QRect screenArea = screen->availableGeometry();
    if (window->frameGeometry() == screenArea)
        return;
    window->setGeometry(screenArea);
    window->setWindowState(window->windowState() | Qt::WindowMaximized);
}

// The audit view's details and dates are longer than their columns: the user drags the column
// edges in the heading, and widens the window, to read them whole.
void WidenAuditColumns(QWidget* audit)
{
    auto* grid = audit->findChild<QTableWidget*>(QStringLiteral("StringGrid1"));
    if (!grid)
        return;
    constexpr int Details = 3;
    constexpr int Date = 4;
    grid->resizeColumnToContents(Details);
    grid->resizeColumnToContents(Date);
    int width = grid->verticalScrollBar()->sizeHint().width() + 2 * grid->frameWidth();
    for (int column = 0; column < grid->columnCount(); ++column)
        width += grid->columnWidth(column);
    audit->resize(qMax(audit->width(), width + audit->width() - grid->width()), audit->height());
}

class Photographer
{
public:
    explicit Photographer(const QDir& folder) : m_folder(folder) {}

    void shoot(const QString& scene, QWidget* window)
    {
        TakeTheScreenIfMaximised(window);
        if (scene == QStringLiteral("audit"))
            WidenAuditColumns(window);
        // Laid out and painted as on the screen before it is photographed.
        QTest::qWait(150);
        const QString file = m_folder.filePath(scene + QStringLiteral(".png"));
        if (window->grab().save(file))
            m_pictures << file;
        else
            m_failed << file;
    }
    void add(const QString& file) { m_pictures << file; }

    const QStringList& pictures() const { return m_pictures; }
    const QStringList& failed() const { return m_failed; }
    bool has(const QString& scene) const
    {
        return m_pictures.contains(m_folder.filePath(scene + QStringLiteral(".png")));
    }

private:
    QDir m_folder;
    QStringList m_pictures;
    QStringList m_failed;
};

// The acceptance test's day; the report saved as PDF is drawn as a picture too.
QString OrdinaryDay(Photographer& camera, const QDir& out)
{
    UserJourney journey;
    journey.onScene = [&](const QString& scene, QWidget* window) { camera.shoot(scene, window); };
    const auto inCurveView = [&] {
        ApplicationWindows& windows = journey.windows();
        journey.saveChart(windows.TempCurveForm(), JourneyDay::TemperatureImage);
        journey.saveChart(windows.HumCurveForm(), JourneyDay::HumidityImage);
        journey.exportCsv(JourneyDay::CsvFile);
        journey.requestReport(JourneyDay::ReportFirstRow);
        journey.saveReportPdf(JourneyDay::ReportFile);
    };
    const bool done = journey.launch() && journey.createFirstAccount() && journey.signIn() &&
                      journey.calibrate() && journey.transferClock() && journey.setAlarms() &&
                      journey.openCurveView(inCurveView) && journey.openAuditView({});
    if (!done)
        return journey.failure();

    const QString pdf = QDir(journey.folder()).filePath(JourneyDay::ReportFile + ".pdf");
    const QString page = out.filePath(QStringLiteral("report-page"));
    if (!RunCommand(QStringLiteral("pdftoppm"),
                    {QStringLiteral("-png"), QStringLiteral("-r"), QString::number(ReportPageDpi),
                     QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"),
                     QStringLiteral("1"), QStringLiteral("-singlefile"), pdf, page}))
        return QStringLiteral("pdftoppm could not draw ") + pdf;
    camera.add(page + QStringLiteral(".png"));
    return {};
}

// A day whose download goes wrong: only the download dialog's report is photographed.
QString GarbledDownload(Photographer& camera)
{
    UserJourney journey({QStringLiteral("--malformed-value"), GarbledValue});
    journey.onScene = [&](const QString& scene, QWidget* window) {
        if (scene == QStringLiteral("download-problem"))
            camera.shoot(scene, window);
    };
    if (!journey.launch() || !journey.createFirstAccount() || !journey.signIn())
        return journey.failure();
    // Fails by design: the dialog reports the garbled value.
    journey.openCurveView({});
    if (!camera.has(QStringLiteral("download-problem")))
        return QStringLiteral("the download dialog reported no problem: ") + journey.failure();
    return {};
}

int Failed(const QString& why)
{
    std::fprintf(stderr, "quivel-screenshots: %s\n", qPrintable(why));
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    GuardedApplication app(argc, argv);
    if (argc != 2)
        return Failed(QStringLiteral("usage: quivel-screenshots <folder>"));
    // Before the journeys move into folders of their own.
    const QDir out(QDir(QString::fromLocal8Bit(argv[1])).absolutePath());
    if (!out.mkpath(QStringLiteral(".")))
        return Failed(QStringLiteral("cannot create ") + out.path());
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    InitArtwork();
    QApplication::setWindowIcon(QIcon(ArtworkPath(QStringLiteral("icon"))));

    Photographer camera(out);
    if (const QString failure = OrdinaryDay(camera, out); !failure.isEmpty())
        return Failed(failure);
    if (const QString failure = GarbledDownload(camera); !failure.isEmpty())
        return Failed(failure);
    if (!camera.failed().isEmpty())
        return Failed(QStringLiteral("cannot write ") + camera.failed().join(QLatin1Char(' ')));
    for (const QString& picture : camera.pictures())
        std::printf("%s\n", qPrintable(QDir::current().relativeFilePath(picture)));
    return 0;
}
