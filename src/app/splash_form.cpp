#include "app/splash_form.h"

#include "app/artwork.h"
#include "common/error_handler.h"
#include "common/window_placement.h"

#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

namespace
{
constexpr int SplashWidth = 638;
constexpr int SplashHeight = 476;
constexpr int SplashMs = 2000;
} // namespace

TSplashForm::TSplashForm(QWidget* parent)
    : QWidget(parent, Qt::FramelessWindowHint | Qt::SplashScreen), Timer1(new QTimer(this))
{
    setObjectName(QStringLiteral("SplashForm"));
    InitArtwork();
    setFixedSize(SplashWidth, SplashHeight);
    auto* picture = new QLabel(this);
    picture->setPixmap(RenderArtwork(QStringLiteral("splash"), size(), devicePixelRatioF()));
    picture->setObjectName(QStringLiteral("Image1"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(picture);

    CentreOnScreen(this);

    Timer1->setSingleShot(true);
    Timer1->setInterval(SplashMs);
    connect(Timer1, &QTimer::timeout, this, &TSplashForm::Timer1Timer);
    Timer1->start();
}

void TSplashForm::Timer1Timer()
{
    Guarded([&] {
        Timer1->stop();
        emit finished();
        hide();
    });
}

bool TSplashForm::timerActive() const
{
    return Timer1->isActive();
}
