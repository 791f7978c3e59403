#pragma once

#include <QPixmap>
#include <QSize>

// The pictures of the about and donation boxes, painted in code so that the
// program carries no image files.
namespace Pictures {

// An acceleration trace above its response spectrum, with the program's name.
QPixmap SpectrumLogo(QSize size);

// A single-degree-of-freedom oscillator: a mass on a column over moving ground.
QPixmap Oscillator(QSize size);

// The badge of the program's news subscription: a bell in a rounded square.
QPixmap SubscriptionBadge(QSize size);

// A heart, for the donors.
QPixmap Heart(QSize size);

// A steaming cup, for the donors.
QPixmap Cup(QSize size);

} // namespace Pictures
