// A watch on a file descriptor from the event loop (states in TDescriptorWatch.h).
#include "framework/ui/TDescriptorWatch.h"

#include <QSocketNotifier>
#include <QTimer>

#include "framework/ui/ControlBridge.h"

TDescriptorWatch::TDescriptorWatch() : FRearmTimer(std::make_unique<QTimer>())
{
    FRearmTimer->setSingleShot(true);
    // A coarse timer may fire early, before the rest it waits out has passed.
    FRearmTimer->setTimerType(Qt::PreciseTimer);
    QObject::connect(FRearmTimer.get(), &QTimer::timeout, FRearmTimer.get(), [this] { Rearm(); });
}

TDescriptorWatch::~TDescriptorWatch() = default;

void TDescriptorWatch::SetDescriptor(int Descriptor)
{
    if (Descriptor == FDescriptor) return;
    FRearmTimer->stop();
    if (FNotifier && FFiring) {
        // Its signal runs now: Qt frees it once that has returned.
        FNotifier->setEnabled(false);
        FNotifier.release()->deleteLater();
    }
    FNotifier.reset();
    FDescriptor = Descriptor;
    if (Descriptor < 0) return;
    FNotifier = std::make_unique<QSocketNotifier>(Descriptor, QSocketNotifier::Read);
    QObject::connect(FNotifier.get(), &QSocketNotifier::activated, FNotifier.get(), [this] { Fired(); });
}

bool TDescriptorWatch::Armed() const
{
    return FNotifier && FNotifier->isEnabled();
}

void TDescriptorWatch::Rearm()
{
    FRearmTimer->stop();
    if (FNotifier) FNotifier->setEnabled(true);
}

void TDescriptorWatch::RearmAfter(int Ms)
{
    FRearmTimer->start(Ms);
}

void TDescriptorWatch::Fired()
{
    FNotifier->setEnabled(false);
    FFiring = true;
    ui_detail::Guarded(this, [this] {
        if (OnReadable) OnReadable(this);
    });
    FFiring = false;
}
