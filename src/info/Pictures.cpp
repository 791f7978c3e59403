#include "info/Pictures.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>

namespace {

constexpr double Pi = 3.14159265358979323846;

// A pixmap filled with `background`, antialiased painting ready.
QPixmap Canvas(QSize size, const QColor& background) {
    QPixmap pixmap(size);
    pixmap.fill(background);
    return pixmap;
}

// A decaying, enveloped ground-motion-like trace on [0, 1] (shape only).
double Trace(double t) {
    const double envelope = std::pow(t / 0.25, 2) * std::exp(2.0 * (1.0 - t / 0.25));
    return envelope * (0.6 * std::sin(2 * Pi * 13 * t) + 0.4 * std::sin(2 * Pi * 29 * t + 1.0));
}

// A smooth response-spectrum-like curve on [0, 1]: rising plateau, then decay.
double Spectrum(double x) {
    const double rise = 1.0 - std::exp(-x / 0.06);
    const double decay = 1.0 / (1.0 + std::pow(x / 0.32, 1.6));
    return rise * decay;
}

} // namespace

namespace Pictures {

QPixmap SpectrumLogo(QSize size) {
    QPixmap pixmap = Canvas(size, Qt::white);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const double w = size.width();
    const double h = size.height();

    QLinearGradient sky(0, 0, 0, h);
    sky.setColorAt(0, QColor(225, 236, 250));
    sky.setColorAt(1, QColor(250, 252, 255));
    painter.fillRect(QRectF(0, 0, w, h), sky);
    painter.setPen(QPen(QColor(70, 90, 130), 1));
    painter.drawRect(QRectF(0.5, 0.5, w - 1, h - 1));

    // The record: upper band.
    const QRectF traceBox(0.08 * w, 0.08 * h, 0.84 * w, 0.26 * h);
    QPainterPath trace;
    const int samples = 400;
    for (int i = 0; i <= samples; ++i) {
        const double t = static_cast<double>(i) / samples;
        const QPointF point(traceBox.left() + t * traceBox.width(),
                            traceBox.center().y() - 0.5 * traceBox.height() * Trace(t) / 1.1);
        if (i == 0) {
            trace.moveTo(point);
        } else {
            trace.lineTo(point);
        }
    }
    painter.setPen(QPen(QColor(90, 90, 90), 1));
    painter.drawLine(traceBox.bottomLeft() - QPointF(0, traceBox.height() / 2),
                     traceBox.bottomRight() - QPointF(0, traceBox.height() / 2));
    painter.setPen(QPen(QColor(200, 40, 40), 1.2));
    painter.drawPath(trace);

    // Its spectra: lower band, three damping ratios.
    const QRectF plot(0.12 * w, 0.40 * h, 0.80 * w, 0.38 * h);
    painter.setPen(QPen(Qt::black, 1.2));
    painter.drawLine(plot.bottomLeft(), plot.bottomRight());
    painter.drawLine(plot.bottomLeft(), plot.topLeft());
    const QColor colours[] = {QColor(0, 0, 255), QColor(0, 140, 0), QColor(230, 120, 0)};
    const double heights[] = {1.0, 0.72, 0.55};
    for (int curve = 0; curve < 3; ++curve) {
        QPainterPath path;
        for (int i = 0; i <= 200; ++i) {
            const double x = static_cast<double>(i) / 200;
            const QPointF point(plot.left() + x * plot.width(),
                                plot.bottom() -
                                    0.95 * plot.height() * heights[curve] * Spectrum(x) / 0.72);
            if (i == 0) {
                path.moveTo(point);
            } else {
                path.lineTo(point);
            }
        }
        painter.setPen(QPen(colours[curve], 2));
        painter.drawPath(path);
    }

    QFont name("DejaVu Sans");
    name.setBold(true);
    name.setPixelSize(std::max(10, static_cast<int>(0.13 * h)));
    painter.setFont(name);
    painter.setPen(QColor(30, 50, 110));
    painter.drawText(QRectF(0, 0.80 * h, w, 0.18 * h), Qt::AlignCenter, "VORSEN");
    return pixmap;
}

QPixmap Oscillator(QSize size) {
    QPixmap pixmap = Canvas(size, QColor(245, 245, 240));
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const double w = size.width();
    const double h = size.height();
    painter.setPen(QPen(QColor(120, 120, 120), 1));
    painter.drawRect(QRectF(0.5, 0.5, w - 1, h - 1));

    // Ground, hatched, with the motion arrow.
    const double groundY = 0.80 * h;
    painter.setPen(QPen(Qt::black, 2));
    painter.drawLine(QPointF(0.15 * w, groundY), QPointF(0.85 * w, groundY));
    painter.setPen(QPen(Qt::black, 1));
    for (double x = 0.16 * w; x < 0.85 * w; x += 0.05 * w) {
        painter.drawLine(QPointF(x, groundY), QPointF(x - 0.04 * w, groundY + 0.06 * h));
    }
    painter.setPen(QPen(QColor(200, 40, 40), 2));
    const double arrowY = 0.93 * h;
    painter.drawLine(QPointF(0.35 * w, arrowY), QPointF(0.65 * w, arrowY));
    for (const double tip : {0.35, 0.65}) {
        const double direction = tip < 0.5 ? 1.0 : -1.0;
        painter.drawLine(QPointF(tip * w, arrowY),
                         QPointF(tip * w + direction * 0.04 * w, arrowY - 0.03 * h));
        painter.drawLine(QPointF(tip * w, arrowY),
                         QPointF(tip * w + direction * 0.04 * w, arrowY + 0.03 * h));
    }

    // The column, bent by the response, and the mass at its top.
    const double massY = 0.28 * h;
    QPainterPath column;
    column.moveTo(0.5 * w, groundY);
    column.cubicTo(QPointF(0.5 * w, 0.6 * groundY + 0.4 * massY),
                   QPointF(0.58 * w, 0.3 * groundY + 0.7 * massY), QPointF(0.58 * w, massY));
    painter.setPen(QPen(QColor(60, 60, 60), 4));
    painter.drawPath(column);
    painter.setPen(QPen(QColor(150, 150, 150), 1, Qt::DashLine));
    painter.drawLine(QPointF(0.5 * w, groundY), QPointF(0.5 * w, massY));

    const double radius = 0.12 * std::min(w, h);
    QRadialGradient shine(QPointF(0.58 * w - radius / 3, massY - radius / 3), radius * 1.4);
    shine.setColorAt(0, QColor(120, 160, 255));
    shine.setColorAt(1, QColor(20, 50, 160));
    painter.setBrush(shine);
    painter.setPen(QPen(QColor(10, 30, 100), 1.5));
    painter.drawEllipse(QPointF(0.58 * w, massY), radius, radius);

    QFont label("DejaVu Sans");
    label.setPixelSize(std::max(9, static_cast<int>(0.09 * h)));
    label.setItalic(true);
    painter.setFont(label);
    painter.setPen(Qt::black);
    painter.drawText(QPointF(0.58 * w + radius + 6, massY + 4), "m");
    painter.drawText(QPointF(0.64 * w, 0.58 * h), "k, c");
    painter.drawText(QPointF(0.70 * w, 0.96 * h), "a(t)");
    return pixmap;
}

QPixmap SubscriptionBadge(QSize size) {
    QPixmap pixmap = Canvas(size, Qt::white);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const double w = size.width();
    const double h = size.height();

    const QRectF badge(0.06 * w, 0.06 * h, 0.88 * w, 0.88 * h);
    QLinearGradient fill(badge.topLeft(), badge.bottomRight());
    fill.setColorAt(0, QColor(40, 170, 90));
    fill.setColorAt(1, QColor(20, 110, 60));
    painter.setBrush(fill);
    painter.setPen(Qt::NoPen);
    painter.drawRoundedRect(badge, 0.18 * w, 0.18 * h);

    // A bell: dome, rim and clapper.
    const double cx = 0.5 * w;
    QPainterPath bell;
    bell.moveTo(cx - 0.26 * w, 0.66 * h);
    bell.cubicTo(QPointF(cx - 0.20 * w, 0.60 * h), QPointF(cx - 0.22 * w, 0.26 * h),
                 QPointF(cx, 0.24 * h));
    bell.cubicTo(QPointF(cx + 0.22 * w, 0.26 * h), QPointF(cx + 0.20 * w, 0.60 * h),
                 QPointF(cx + 0.26 * w, 0.66 * h));
    bell.closeSubpath();
    painter.setBrush(Qt::white);
    painter.drawPath(bell);
    painter.drawEllipse(QPointF(cx, 0.21 * h), 0.04 * w, 0.04 * h);
    painter.drawEllipse(QPointF(cx, 0.72 * h), 0.07 * w, 0.06 * h);
    return pixmap;
}

QPixmap Heart(QSize size) {
    QPixmap pixmap = Canvas(size, QColor(255, 246, 246));
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const double w = size.width();
    const double h = size.height();
    QPainterPath heart;
    heart.moveTo(0.5 * w, 0.85 * h);
    heart.cubicTo(QPointF(0.05 * w, 0.55 * h), QPointF(0.10 * w, 0.12 * h),
                  QPointF(0.5 * w, 0.30 * h));
    heart.cubicTo(QPointF(0.90 * w, 0.12 * h), QPointF(0.95 * w, 0.55 * h),
                  QPointF(0.5 * w, 0.85 * h));
    QRadialGradient fill(QPointF(0.38 * w, 0.38 * h), 0.6 * w);
    fill.setColorAt(0, QColor(255, 110, 110));
    fill.setColorAt(1, QColor(190, 20, 40));
    painter.setBrush(fill);
    painter.setPen(QPen(QColor(140, 10, 30), 2));
    painter.drawPath(heart);
    return pixmap;
}

QPixmap Cup(QSize size) {
    QPixmap pixmap = Canvas(size, QColor(250, 246, 238));
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const double w = size.width();
    const double h = size.height();

    // Steam.
    painter.setPen(QPen(QColor(160, 160, 160), 3, Qt::SolidLine, Qt::RoundCap));
    for (const double x : {0.36, 0.48, 0.60}) {
        QPainterPath steam;
        steam.moveTo(x * w, 0.38 * h);
        steam.cubicTo(QPointF((x - 0.05) * w, 0.30 * h), QPointF((x + 0.05) * w, 0.22 * h),
                      QPointF(x * w, 0.12 * h));
        painter.drawPath(steam);
    }
    // Cup, handle and saucer.
    painter.setPen(QPen(QColor(90, 50, 20), 2));
    painter.setBrush(QColor(200, 120, 60));
    QPainterPath cup;
    cup.moveTo(0.24 * w, 0.44 * h);
    cup.lineTo(0.72 * w, 0.44 * h);
    cup.cubicTo(QPointF(0.72 * w, 0.72 * h), QPointF(0.62 * w, 0.80 * h),
                QPointF(0.48 * w, 0.80 * h));
    cup.cubicTo(QPointF(0.34 * w, 0.80 * h), QPointF(0.24 * w, 0.72 * h),
                QPointF(0.24 * w, 0.44 * h));
    painter.drawPath(cup);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(90, 50, 20), 5));
    painter.drawArc(QRectF(0.64 * w, 0.48 * h, 0.18 * w, 0.20 * h), -90 * 16, 180 * 16);
    painter.setPen(QPen(QColor(90, 50, 20), 2));
    painter.setBrush(QColor(230, 220, 200));
    painter.drawEllipse(QRectF(0.14 * w, 0.78 * h, 0.70 * w, 0.09 * h));
    return pixmap;
}

} // namespace Pictures
