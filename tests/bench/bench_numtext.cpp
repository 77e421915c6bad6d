// Prints how long the number text conversions and one key release of the
// contract group take; no pass or fail, figures only.
#include "common/numtext.h"
#include "fakeservices.h"
#include "keyboard.h"
#include "ui/program.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>

using namespace voltaris;

template <class F> static double perCallNs(int n, F &&f)
{
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < n; ++i)
        f(i);
    return double(t.nsecsElapsed()) / n;
}

int main()
{
    const QChar comma(u',');
    volatile long double sink = 0;
    int chars = 0;
    const double fmt = perCallNs(
        200000, [&](int i) { chars += int(formatValue(915.3L / 12 + i, comma).size()); });
    const double fmt18 = perCallNs(
        200000, [&](int i) { chars += int(formatFixed(0.1L * i, 18, 1, comma).size()); });
    const QString text = QStringLiteral("27,35");
    const double parse = perCallNs(200000, [&](int) { sink = sink + strToFloat(text, comma); });

    QTemporaryDir dir;
    test::TestApp t;
    TProgram program(t.app, dir.path());
    program.Form1->Edit1.setFocus();
    const double keyUp = perCallNs(20000, [&](int) { test::pressKey(*program.Form1, vk::Shift); });

    std::printf("formatValue (8 digits, 2 decimals): %8.0f ns per call\n", fmt);
    std::printf("formatFixed (18 digits, 1 decimal): %8.0f ns per call\n", fmt18);
    std::printf("strToFloat:                         %8.0f ns per call\n", parse);
    std::printf("key release in Edit1 (recompute):   %8.0f ns per call\n", keyUp);
    std::printf("(%d characters formatted)\n", chars);
    return 0;
}
